#include "plat_error.h"

#include <cerrno>
#include <cstring>

namespace plat {

int last_error() { return errno; }

void set_last_error(int code) { errno = code; }

bool error_text(int code, std::string& text)
{
    // strerror_r always answers, with "Unknown error N" for codes it does not know;
    // strerrordesc_np tells those apart by returning null.
    if (strerrordesc_np(code) == nullptr)
        return false;
    char buffer[256];
    const char* result = strerror_r(code, buffer, sizeof buffer);
    if (result == nullptr || *result == '\0')
        return false;
    text = result;
    return true;
}

} // namespace plat
