#include "plat_delete_file.h"

#include "plat_error.h"

#include <cerrno>
#include <unistd.h>

namespace plat {

bool delete_file(const std::string& name)
{
    if (::unlink(name.c_str()) == 0)
        return true;
    set_last_error(errno);
    return false;
}

} // namespace plat
