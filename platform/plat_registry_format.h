#pragma once
// The text form of one registry key's file: a person can read and edit it, and every
// value (any type, any bytes in its name or data) survives a write and a read unchanged.
//
//   ; comment lines, blank lines and [section] lines are ignored
//   "name"="text"            REG_SZ whose data is the text followed by one zero byte
//   "name"=dword:0000002a    REG_DWORD of exactly 4 bytes (little-endian data)
//   "name"=hex(7):61,00,00   any other type and data, the type in hexadecimal
//   "name"=hex:01,02         REG_BINARY (read only; written as hex(3):)
//
// Inside quotes \\, \", \n, \r, \t and \xHH stand for one byte each; every other byte
// stands for itself. A line that does not read as a value is kept as it is and means no
// value.
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

struct reg_value {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
};

// One line of the file: a value, or a line that does not read as one.
struct reg_line {
    bool is_value = false;
    reg_value value;
    std::string text;
};

struct reg_file_contents {
    std::vector<reg_line> lines;

    // The value of that name (the last one when the file names it twice), or null.
    const reg_value* find(const std::string& name) const;
    // Replaces the value of that name in place, or appends it.
    void set(const reg_value& value);
};

reg_file_contents parse_registry_file(const std::string& bytes);

// The whole file: a comment and a section line naming the key, then one line per entry.
std::string format_registry_file(const std::string& key_name, const reg_file_contents& contents);

} // namespace plat
