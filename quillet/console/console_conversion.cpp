// The console program's builds of the run's guard and of its handler for standard
// exceptions: no progress timer, reports on the standard error stream.
#include "front_end.h"

#include "tk_log.h"

#include <cstdio>
#include <cstdlib>

init_conversion::init_conversion(std::atomic<bool>* finished_flag, int no_com_flag)
    : no_com(no_com_flag), finished(finished_flag)
{
    tk_log(2, "init_conversion::ctor");
    log_local_time("Conversion started on %02d/%02d/%04d at %02d:%02d:%02d\n");
}

void report_run_failure(const std::exception& e)
{
    tk_log(3, "ERROR:\n%s", e.what());
    std::fprintf(stderr, "%s\n", e.what());
    std::fflush(stderr);
    // A failed run is not a success: like an error of level 1, the program ends with -1
    // and the settings are not stored.
    std::exit(-1);
}
