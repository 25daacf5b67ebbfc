#include "tk_profile.h"

#include "message_table.h"
#include "plat_error.h"
#include "plat_replace_file.h"
#include "tk_log.h"

namespace {

// The profile's line end on every platform: the bytes CR LF.
constexpr const char* line_end = "\r\n";

// Appends one line and the profile's line end.
void add_line(std::string& text, const std::string& line)
{
    text += line;
    text += line_end;
}

} // namespace

tk_profile::tk_profile() { add_section(msg::generic_settings); }

void tk_profile::add_section(std::string name) { sections.try_emplace(std::move(name)); }

void tk_profile::set_value(std::string section_name, std::string key, std::string value)
{
    sections[std::move(section_name)].try_emplace(std::move(key), std::move(value));
}

bool tk_profile::store(std::string path)
{
    tk_log(2, "tk_profile::store(%s)", path.c_str());
    std::string text;
    for (const auto& [name, pairs] : sections) {
        add_line(text, "[" + name + "]");
        const bool bare_empty_keys = name == msg::selected_tables;
        for (const auto& [key, value] : pairs)
            add_line(text, value.empty() && bare_empty_keys ? key : key + "=" + value);
        add_line(text, std::string());
    }
    for (const auto& [name, lines] : lists) {
        add_line(text, "[" + name + "]");
        for (const std::string& line : lines)
            add_line(text, line);
    }
    // Written whole into a fresh file that then takes the old one's place: a full disk
    // leaves the profile that was there. The file is private to the user, since a profile
    // may hold a document password.
    if (const int failure = plat::replace_file(path, text)) {
        plat::set_last_error(failure);
        return false;
    }
    return true;
}
