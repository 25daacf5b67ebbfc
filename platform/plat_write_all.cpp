#include "plat_write_all.h"

#include <cerrno>
#include <sys/types.h>
#include <unistd.h>

namespace plat {

int write_all(int fd, const char* bytes, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int copy_all(int from, int to)
{
    char buffer[65536];
    for (off_t offset = 0;;) {
        const ssize_t n = ::pread(from, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return 0;
        if (const int error = write_all(to, buffer, static_cast<std::size_t>(n)))
            return error;
        offset += n;
    }
}

} // namespace plat
