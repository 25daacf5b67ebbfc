#include "plat_open_regular.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace plat {

namespace {

int kind_error(const struct stat& status) { return S_ISDIR(status.st_mode) ? EISDIR : EINVAL; }

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

} // namespace plat
