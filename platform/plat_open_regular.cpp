#include "plat_open_regular.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace plat {

namespace {

int kind_error(const struct stat& status) { return S_ISDIR(status.st_mode) ? EISDIR : EINVAL; }

// Reads from `fd` until its end or until `bytes` holds `limit` bytes, so that a file that
// grows without end cannot fill the memory. Gives 0, or the error of the read.
int read_at_most(int fd, std::size_t limit, std::string& bytes)
{
    char buffer[65536];
    while (bytes.size() < limit) {
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, limit - bytes.size()));
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return 0;
}

// Opens `name` below `folder` with `flags` when it is a regular file; `follow` says whether
// a link there is followed.
int open_regular(int folder, const std::string& name, int flags, bool follow, struct stat& status)
{
    if (::fstatat(folder, name.c_str(), &status, follow ? 0 : AT_SYMLINK_NOFOLLOW) != 0)
        return -1;
    if (S_ISLNK(status.st_mode)) {
        errno = ELOOP;
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        errno = kind_error(status);
        return -1;
    }
    const int descriptor = ::openat(folder, name.c_str(),
                                    flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
    if (descriptor < 0)
        return -1;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = S_ISREG(status.st_mode) ? errno : kind_error(status);
        ::close(descriptor);
        errno = error;
        return -1;
    }
    return descriptor;
}

int read_regular(int folder, const std::string& name, bool follow, std::size_t limit, std::string& bytes)
{
    bytes.clear();
    struct stat status {};
    const int fd = open_regular(folder, name, O_RDONLY, follow, status);
    if (fd < 0)
        return errno;
    // One byte past the limit tells a file that grew meanwhile from one that fits.
    int error = static_cast<std::size_t>(status.st_size) > limit ? EFBIG : read_at_most(fd, limit + 1, bytes);
    ::close(fd);
    if (error == 0 && bytes.size() > limit)
        error = EFBIG;
    if (error != 0)
        bytes.clear();
    return error;
}

} // namespace

int open_regular_file(const std::string& name, int flags, struct stat& status)
{
    return open_regular(AT_FDCWD, name, flags, true, status);
}

int read_regular_file(const std::string& name, std::size_t limit, std::string& bytes)
{
    return read_regular(AT_FDCWD, name, true, limit, bytes);
}

int open_regular_entry(int folder, const std::string& name, int flags, struct stat& status)
{
    return open_regular(folder, name, flags, false, status);
}

int read_regular_entry(int folder, const std::string& name, std::size_t limit, std::string& bytes)
{
    return read_regular(folder, name, false, limit, bytes);
}

} // namespace plat
