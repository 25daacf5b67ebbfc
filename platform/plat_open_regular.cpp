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

} // namespace

int open_regular_file(const std::string& name, int flags, struct stat& status)
{
    if (::stat(name.c_str(), &status) != 0)
        return -1;
    if (!S_ISREG(status.st_mode)) {
        errno = kind_error(status);
        return -1;
    }
    const int descriptor = ::open(name.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
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

int read_regular_file(const std::string& name, std::size_t limit, std::string& bytes)
{
    bytes.clear();
    struct stat status {};
    const int fd = open_regular_file(name, O_RDONLY, status);
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

} // namespace plat
