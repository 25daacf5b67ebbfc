#include "plat_file_kind.h"

#include <sys/stat.h>

namespace plat {

bool is_special_file(const std::string& name)
{
    struct stat status {};
    return ::stat(name.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

} // namespace plat
