// A library that reports version 5.79, one below what the wizard needs.
#include "plat_library.h"

extern "C" __attribute__((visibility("default"))) std::int32_t DllGetVersion(plat::dll_version_info* info)
{
    if (info == nullptr || info->size != sizeof(plat::dll_version_info))
        return -1;
    info->major = 5;
    info->minor = 79;
    info->build = 1234;
    return 0;
}
