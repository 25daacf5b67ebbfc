#include "tk_profile.h"

#include "message_table.h"
#include "tk_log.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The profile's line end on every platform: the bytes CR LF.
constexpr const char* line_end = "\r\n";

// Writes one composed line in full; failures are not looked at.
void write_line(int fd, std::string line)
{
    line += line_end;
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
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
    // A new file is private to the user: a profile may hold a document password.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    for (const auto& [name, pairs] : sections) {
        write_line(fd, "[" + name + "]");
        const bool bare_empty_keys = name == msg::selected_tables;
        for (const auto& [key, value] : pairs)
            write_line(fd, value.empty() && bare_empty_keys ? key : key + "=" + value);
        write_line(fd, std::string());
    }
    for (const auto& [name, lines] : lists) {
        write_line(fd, "[" + name + "]");
        for (const std::string& line : lines)
            write_line(fd, line);
    }
    ::close(fd);
    return true;
}
