#include "front_end.h"

#include "tk_log.h"

#include <ctime>

void init_conversion::log_local_time(const char* format)
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    tk_log(3, format, local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min,
           local.tm_sec);
}

init_conversion::~init_conversion()
{
    tk_log(2, "init_conversion::dtor");
    log_local_time("Conversion ended on %02d/%02d/%04d at %02d:%02d:%02d\n");
    // Release: whatever the run's handlers recorded is visible to the thread that sees the flag.
    finished->store(true, std::memory_order_release);
}
