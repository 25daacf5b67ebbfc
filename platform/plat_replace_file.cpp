#include "plat_replace_file.h"

#include "plat_write_all.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

// As many links as the system itself follows in one look-up.
constexpr int most_links = 40;

// The folder part of `path` with its trailing separator; empty for a bare name.
std::string folder_part(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file that `path` leads to through links of its last component: `path` itself when
// that is no link or is missing, else the end of the chain of links (which may be
// missing too). Gives 0 or the error of the look-up.
int follow_links(std::string& path)
{
    for (int hop = 0; hop <= most_links; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(status.st_mode))
            return 0;
        std::vector<char> target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : PATH_MAX) + 1);
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            return errno;
        // A link that grew since it was looked at: the next round reads it again.
        if (static_cast<std::size_t>(length) >= target.size())
            continue;
        const std::string next(target.data(), static_cast<std::size_t>(length));
        path = next.empty() || next[0] == '/' ? next : folder_part(path) + next;
    }
    return ELOOP;
}

// Whether the file at `path` (no link) may be replaced: 0 when it is missing or a regular
// file that the user may write, else why not.
int replaceable(const std::string& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return errno == ENOENT ? 0 : errno;
    if (S_ISDIR(status.st_mode))
        return EISDIR;
    if (!S_ISREG(status.st_mode))
        return EINVAL;
    // A file that the user may not write is not theirs to replace, although the folder
    // would let a rename do it.
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return errno;
    return 0;
}

} // namespace

int complete_replacement(int fd, const std::string& fresh, const std::string& target, const std::string& bytes)
{
    int error = write_all(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(fresh.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(fresh.c_str());
    return error;
}

int replace_file(const std::string& path, const std::string& bytes)
{
    if (path.empty())
        return ENOENT;
    std::string target = path;
    if (const int error = follow_links(target))
        return error;
    if (const int error = replaceable(target))
        return error;
    // A name of its own, made with the file, so that two programs saving at once do not
    // write into one fresh file; mkostemp makes it with mode 0600.
    std::string fresh = target + ".XXXXXX";
    const int fd = ::mkostemp(fresh.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    return complete_replacement(fd, fresh, target, bytes);
}

} // namespace plat
