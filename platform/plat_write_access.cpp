#include "plat_write_access.h"

#include "plat_folder_access.h"
#include "plat_links.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

// Whether the file that the descriptor `fd` found may be written.
int existing_file_error(int fd)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return errno;
    if (S_ISDIR(status.st_mode))
        return EISDIR;
    // The descriptor's own name reaches the file also where no path does (a standard stream
    // that was a deleted file, a pipe).
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::faccessat(AT_FDCWD, self.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

} // namespace

int open_for_writing_error(const std::string& name)
{
    if (name.empty())
        return ENOENT;
    // The system's own look-up, as the opening will make it: every link followed, those of
    // /proc/self/fd included, and whatever the system refuses on the way refused here.
    const int fd = ::open(name.c_str(), O_PATH | O_CLOEXEC);
    if (fd >= 0) {
        const int error = existing_file_error(fd);
        ::close(fd);
        return error;
    }
    if (errno != ENOENT)
        return errno;
    // A missing file is judged where it would be made: a link that leads nowhere makes the
    // file it names.
    std::string target = name;
    if (const int error = follow_links(target))
        return error;
    const std::string folder = folder_part(target);
    return create_access_error(folder.empty() ? "." : folder);
}

} // namespace plat
