#include "plat_write_access.h"

#include "plat_folder_access.h"
#include "plat_links.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

int open_for_writing_error(const std::string& name)
{
    if (name.empty())
        return ENOENT;
    std::string target = name;
    if (const int error = follow_links(target))
        return error;
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return EISDIR;
        return ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
    }
    if (errno != ENOENT)
        return errno;
    const std::string folder = folder_part(target);
    return create_access_error(folder.empty() ? "." : folder);
}

} // namespace plat
