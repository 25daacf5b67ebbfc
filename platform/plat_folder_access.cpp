#include "plat_folder_access.h"

#include <cerrno>
#include <unistd.h>

namespace plat {

int create_access_error(const std::string& folder)
{
    return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

} // namespace plat
