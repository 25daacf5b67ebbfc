#include "tk_profile.h"

#include "message_table.h"
#include "plat_error.h"
#include "plat_write_all.h"
#include "tk_log.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // A new file is private to the user: a profile may hold a document password.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
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
    int failure = plat::write_all(fd, text);
    struct stat status {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    // Flushed to the disk, so that a disk that fills up meanwhile is noticed here.
    if (failure == 0 && regular && ::fsync(fd) != 0)
        failure = errno;
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure == 0)
        return true;
    // An empty or partial profile would pass for saved settings: it goes. The system's
    // reason stays the last error, for the caller to tell.
    if (regular)
        ::unlink(path.c_str());
    plat::set_last_error(failure);
    return false;
}
