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

    // Writes every section, then every list, each line ending in CR LF, into a fresh file
    // beside `path` that takes its place once it is whole; a link as `path` keeps leading
    // where it led, and the file it leads to is replaced. False when the file cannot be
    // made or written whole (the system's last error then tells why): the file that was
    // there stays as it was, and no fresh file is left.
    bool store(std::string path);

    std::map<std::string, section> sections;
    // Sections of plain lines, kept in the order added; written after `sections`.
    std::map<std::string, std::list<std::string>> lists;
};
