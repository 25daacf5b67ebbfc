#include "plat_replace_file.h"

#include "plat_links.h"
#include "plat_write_all.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

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
