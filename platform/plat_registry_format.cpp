#include "plat_registry_format.h"

#include "plat_registry.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace plat {

namespace {

const char hex_digits[] = "0123456789abcdef";

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The bytes written inside quotes as a backslash and a letter, and their letters.
struct escape {
    char byte;
    char letter;
};
constexpr escape escapes[] = {{'\\', '\\'}, {'"', '"'}, {'\n', 'n'}, {'\r', 'r'}, {'\t', 't'}};

void append_hex_byte(std::string& out, unsigned char byte)
{
    out += hex_digits[byte >> 4];
    out += hex_digits[byte & 0x0f];
}

void append_quoted(std::string& out, const std::string& bytes)
{
    out += '"';
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const auto named = std::find_if(std::begin(escapes), std::end(escapes),
                                        [c](const escape& e) { return e.byte == c; });
        if (named != std::end(escapes)) {
            out += '\\';
            out += named->letter;
        } else if (byte < 0x20 || byte == 0x7f) {
            out += "\\x";
            append_hex_byte(out, byte);
        } else {
            out += c;
        }
    }
    out += '"';
}

void append_hex_number(std::string& out, std::uint32_t number, int min_digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", min_digits, static_cast<unsigned>(number));
    out += text;
}

std::string format_data(const reg_value& value)
{
    std::string out;
    const std::string& data = value.data;
    if (value.type == REG_SZ && !data.empty() && data.back() == '\0') {
        append_quoted(out, data.substr(0, data.size() - 1));
        return out;
    }
    if (value.type == REG_DWORD && data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
        out += "dword:";
        append_hex_number(out, number, 8);
        return out;
    }
    out += "hex(";
    append_hex_number(out, value.type, 1);
    out += "):";
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0)
            out += ',';
        append_hex_byte(out, static_cast<unsigned char>(data[i]));
    }
    return out;
}

// Reads one line; every reader advances `pos` and answers false on anything unexpected.
class line_reader {
public:
    explicit line_reader(const std::string& line) : text(line) {}

    bool read_value(reg_value& value)
    {
        skip_blanks();
        if (!read_quoted(value.name))
            return false;
        skip_blanks();
        if (!take('='))
            return false;
        skip_blanks();
        if (!read_data(value))
            return false;
        skip_blanks();
        return pos == text.size();
    }

private:
    bool take(char c)
    {
        if (pos < text.size() && text[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }

    bool take(const char* word)
    {
        const std::string w(word);
        if (text.compare(pos, w.size(), w) != 0)
            return false;
        pos += w.size();
        return true;
    }

    void skip_blanks()
    {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
    }

    // Up to `max_digits` hexadecimal digits, at least one.
    bool read_hex(std::uint32_t& number, std::size_t max_digits)
    {
        number = 0;
        std::size_t digits = 0;
        for (; pos < text.size() && digits < max_digits; ++digits, ++pos) {
            const int v = hex_value(text[pos]);
            if (v < 0)
                break;
            number = (number << 4) | static_cast<std::uint32_t>(v);
        }
        return digits > 0 && (pos == text.size() || hex_value(text[pos]) < 0);
    }

    bool read_quoted(std::string& out)
    {
        if (!take('"'))
            return false;
        out.clear();
        while (pos < text.size()) {
            const char c = text[pos++];
            if (c == '"')
                return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos >= text.size())
                return false;
            const char letter = text[pos++];
            const auto named = std::find_if(std::begin(escapes), std::end(escapes),
                                            [letter](const escape& e) { return e.letter == letter; });
            if (named != std::end(escapes)) {
                out += named->byte;
            } else if (letter == 'x') {
                if (pos + 2 > text.size() || hex_value(text[pos]) < 0 || hex_value(text[pos + 1]) < 0)
                    return false;
                out += static_cast<char>(hex_value(text[pos]) * 16 + hex_value(text[pos + 1]));
                pos += 2;
            } else {
                return false;
            }
        }
        return false;
    }

    bool read_bytes(std::string& out)
    {
        out.clear();
        skip_blanks();
        if (pos == text.size())
            return true;
        for (;;) {
            std::uint32_t byte = 0;
            if (!read_hex(byte, 2))
                return false;
            out += static_cast<char>(byte);
            skip_blanks();
            if (!take(','))
                return true;
            skip_blanks();
        }
    }

    bool read_data(reg_value& value)
    {
        if (pos < text.size() && text[pos] == '"') {
            value.type = REG_SZ;
            if (!read_quoted(value.data))
                return false;
            value.data += '\0';
            return true;
        }
        if (take("dword:")) {
            std::uint32_t number = 0;
            if (!read_hex(number, 8))
                return false;
            value.type = REG_DWORD;
            value.data.clear();
            for (int i = 0; i < 4; ++i)
                value.data += static_cast<char>((number >> (8 * i)) & 0xff);
            return true;
        }
        if (take("hex:")) {
            value.type = REG_BINARY;
            return read_bytes(value.data);
        }
        if (take("hex(")) {
            if (!read_hex(value.type, 8) || !take("):"))
                return false;
            return read_bytes(value.data);
        }
        return false;
    }

    const std::string& text;
    std::size_t pos = 0;
};

} // namespace

const reg_value* reg_file_contents::find(const std::string& name) const
{
    const reg_value* found = nullptr;
    for (const reg_line& line : lines)
        if (line.is_value && line.value.name == name)
            found = &line.value;
    return found;
}

void reg_file_contents::set(const reg_value& value)
{
    bool placed = false;
    for (auto it = lines.begin(); it != lines.end();) {
        if (!it->is_value || it->value.name != value.name) {
            ++it;
        } else if (!placed) {
            it->value = value;
            placed = true;
            ++it;
        } else {
            it = lines.erase(it);
        }
    }
    if (!placed)
        lines.push_back(reg_line {true, value, std::string()});
}

reg_file_contents parse_registry_file(const std::string& bytes)
{
    reg_file_contents contents;
    // An editor may put a UTF-8 byte-order mark before the first line; it is no part of it.
    const std::string byte_order_mark = "\xef\xbb\xbf";
    std::size_t start = bytes.compare(0, byte_order_mark.size(), byte_order_mark) == 0 ? byte_order_mark.size() : 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string text = bytes.substr(start, end - start);
        start = end + 1;
        // Line ends written on another system, also after more than one conversion
        // ("\r\r\n"): a line never keeps a trailing CR, since writing it out again and
        // reading it back would drop that CR and could turn a line that was no value into one.
        while (!text.empty() && text.back() == '\r')
            text.pop_back();
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos || text[first] == ';' || text[first] == '[')
            continue;
        reg_line line;
        line_reader reader(text);
        line.is_value = reader.read_value(line.value);
        if (!line.is_value)
            line.text = std::move(text);
        contents.lines.push_back(std::move(line));
    }
    return contents;
}

std::string format_registry_file(const std::string& key_name, const reg_file_contents& contents)
{
    std::string out = "; Settings of one registry key, one value a line. See README.md, \"Settings\".\n";
    out += '[';
    out += key_name;
    out += "]\n";
    for (const reg_line& line : contents.lines) {
        if (line.is_value) {
            append_quoted(out, line.value.name);
            out += '=';
            out += format_data(line.value);
        } else {
            out += line.text;
        }
        out += '\n';
    }
    return out;
}

} // namespace plat
