#include "plat_path.h"

#include "plat_error.h"
#include "plat_open_regular.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

// Folds '.', '..' and repeated separators of an absolute path. The result keeps a
// trailing separator when `path` ends with one; '..' at the root stays at the root.
std::string fold(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(separator, start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result(1, separator);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += separator;
        result += parts[i];
    }
    if (!parts.empty() && path.back() == separator)
        result += separator;
    return result;
}

// A folder's path in the shell's form: folded, without trailing separator (the root keeps its '/').
std::string folder_form(const std::string& absolute)
{
    std::string result = fold(absolute);
    if (result.size() > 1 && result.back() == separator)
        result.pop_back();
    return result;
}

bool is_absolute(const char* path) { return path != nullptr && path[0] == separator; }

// The current directory without any length limit.
bool current_directory(std::string& result)
{
    char* cwd = getcwd(nullptr, 0);
    if (cwd == nullptr)
        return false;
    result = cwd;
    std::free(cwd);
    return true;
}

bool home_folder(std::string& home)
{
    const char* value = std::getenv("HOME");
    if (!is_absolute(value)) {
        set_last_error(ENOENT);
        return false;
    }
    home = folder_form(value);
    return true;
}

// An XDG base folder: the variable's value when it is an absolute path, else the default.
std::string base_folder(const char* variable, const std::string& fallback)
{
    const char* value = std::getenv(variable);
    return folder_form(is_absolute(value) ? std::string(value) : fallback);
}

// True when `line` of user-dirs.dirs sets "XDG_DOCUMENTS_DIR"; `folder` is then its value,
// unquoted, with a leading "$HOME" expanded, or empty when that is no absolute path.
bool documents_entry(const std::string& line, const std::string& home, std::string& folder)
{
    static const std::string key = "XDG_DOCUMENTS_DIR=";
    const std::size_t begin = line.find_first_not_of(" \t");
    if (begin == std::string::npos || line.compare(begin, key.size(), key) != 0)
        return false;
    std::string value;
    std::size_t i = begin + key.size();
    const bool quoted = i < line.size() && line[i] == '"';
    if (quoted)
        ++i;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"')
            break;
        if (!quoted && (c == ' ' || c == '\t' || c == '#'))
            break;
        if (c == '\\' && i + 1 < line.size())
            value += line[++i];
        else
            value += c;
    }
    static const std::string home_variable = "$HOME";
    if (value.compare(0, home_variable.size(), home_variable) == 0
        && (value.size() == home_variable.size() || value[home_variable.size()] == separator))
        value = home + value.substr(home_variable.size());
    folder = is_absolute(value.c_str()) ? folder_form(value) : std::string();
    return true;
}

// The desktop's file of user folders is a few lines; anything bigger is not that file.
constexpr std::size_t user_dirs_max_size = 1 << 20;

// The documents folder named in user-dirs.dirs (the last entry counts), unless that is
// the home folder itself, which the desktop sets when the folder went missing: the
// documents folder must lie inside the home folder for names proposed beside it.
// Only a regular file of bounded size is read: a FIFO, a device or a huge file there
// counts as no file, so that looking for the folder can neither hang nor fill the memory.
std::string documents_folder(const std::string& home)
{
    std::string found;
    std::string config;
    // With HOME set, as here, the configuration folder is always known.
    config_folder(config);
    std::string text;
    read_regular_file(folder_form(config) + "/user-dirs.dirs", user_dirs_max_size, text);
    std::istringstream dirs(text);
    for (std::string line, folder; std::getline(dirs, line);)
        if (documents_entry(line, home, folder))
            found = folder;
    if (found.empty() || found == home)
        return folder_form(home + "/Documents");
    return found;
}

} // namespace

bool config_folder(std::string& folder)
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (is_absolute(xdg)) {
        folder = xdg;
        return true;
    }
    const char* home = std::getenv("HOME");
    std::string home_folder;
    if (is_absolute(home)) {
        home_folder = home;
    } else {
        passwd entry {};
        passwd* found = nullptr;
        std::vector<char> buffer(16384);
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr
            || !is_absolute(found->pw_dir))
            return false;
        home_folder = found->pw_dir;
    }
    folder = home_folder + "/.config";
    return true;
}

bool full_path(const std::string& name, std::string& result, std::size_t capacity)
{
    std::string absolute = name;
    if (!is_absolute(name.c_str())) {
        std::string cwd;
        if (!current_directory(cwd))
            return false;
        absolute = cwd + separator + name;
    }
    std::string folded = fold(absolute);
    if (folded.size() + 1 > capacity) {
        set_last_error(ENAMETOOLONG);
        return false;
    }
    result = std::move(folded);
    return true;
}

void split_path(const std::string& path, std::string& drive, std::string& dir, std::string& name,
                std::string& ext)
{
    drive.clear();
    const std::size_t last_separator = path.rfind(separator);
    const std::size_t rest = last_separator == std::string::npos ? 0 : last_separator + 1;
    dir = path.substr(0, rest);
    const std::size_t dot = path.rfind('.');
    const std::size_t name_end = dot == std::string::npos || dot < rest ? path.size() : dot;
    name = path.substr(rest, name_end - rest);
    ext = path.substr(name_end);
}

bool make_path(const std::string& drive, const std::string& dir, const std::string& name, const std::string& ext,
               std::string& result, std::size_t capacity)
{
    std::string joined = drive;
    if (!drive.empty() && drive.back() != ':')
        joined += ':';
    joined += dir;
    if (!dir.empty() && dir.back() != separator)
        joined += separator;
    joined += name;
    if (!ext.empty() && ext.front() != '.')
        joined += '.';
    joined += ext;
    if (joined.size() + 1 > capacity) {
        set_last_error(ENAMETOOLONG);
        return false;
    }
    result = std::move(joined);
    return true;
}

bool get_cwd(std::string& result, std::size_t capacity)
{
    std::vector<char> buffer(capacity);
    if (capacity == 0 || getcwd(buffer.data(), buffer.size()) == nullptr)
        return false;
    result = buffer.data();
    return true;
}

bool change_dir(const std::string& dir) { return chdir(dir.c_str()) == 0; }

std::string module_file_name()
{
    // The link's target may be longer than any fixed buffer: grow until it fits.
    for (std::size_t size = max_path;; size *= 2) {
        std::vector<char> buffer(size);
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return std::string();
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
}

bool open_probe(const std::string& name, bool write)
{
    struct stat status {};
    const int descriptor = open_regular_file(name, write ? O_RDWR : O_RDONLY, status);
    if (descriptor < 0)
        return false;
    close(descriptor);
    return true;
}

int special_folder(int csidl, std::string& path)
{
    constexpr int failed = 1;
    std::string home;
    if (!home_folder(home))
        return failed;
    switch (csidl) {
    case csidl_personal:
        path = documents_folder(home);
        return 0;
    case csidl_local_appdata:
        path = base_folder("XDG_DATA_HOME", home + "/.local/share");
        return 0;
    case csidl_profile:
        path = home;
        return 0;
    default:
        set_last_error(EINVAL);
        return failed;
    }
}

} // namespace plat
