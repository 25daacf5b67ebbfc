#pragma once
// Settings gathered in named sections of key=value pairs and written out as a text file
// of "[section]" headers followed by "key=value" lines.
#include <list>
#include <map>
#include <string>

class tk_profile {
public:
    // Names sort by plain byte order (unsigned bytes; a prefix first), as std::string does.
    using section = std::map<std::string, std::string>;

    // Starts with the one empty section "Generic settings".
    tk_profile();

    // Adds an empty section; an existing one of that name stays as it is.
    void add_section(std::string name);

    // Adds key=value to the section, making the section when it is missing. A key that
    // the section holds already keeps its first value.
    void set_value(std::string section_name, std::string key, std::string value);

    // Writes every section, then every list, each line ending in CR LF. False when the
    // file cannot be opened or written whole (the system's last error then tells why); a
    // file that was opened but not written whole is removed.
    bool store(std::string path);

    std::map<std::string, section> sections;
    // Sections of plain lines, kept in the order added; written after `sections`.
    std::map<std::string, std::list<std::string>> lists;
};
