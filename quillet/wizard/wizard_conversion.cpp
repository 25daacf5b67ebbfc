// The wizard's builds of the run's guard, which starts the progress timer, and of the run's
// handler of standard exceptions, which shows the failure and keeps it for the finish page.
#include "front_end.h"

#include "g_wizard_shell.h"
#include "tk_log.h"
#include "tk_thread.h"
#include "wizard_error_list.h"

#include <algorithm>
#include <string>

init_conversion::init_conversion(std::atomic<bool>* finished_flag, int no_com_flag)
    : no_com(no_com_flag), finished(finished_flag)
{
    tk_log(2, "init_conversion::ctor");
    log_local_time("Conversion started on %02d/%02d/%04d at %02d:%02d:%02d\n");
    wizard_shell::instance()->start_timer(200);
}

void report_run_failure(const std::exception& e)
{
    if (tk_stop_requested_on_this_thread())
        return;
    wizard_shell::error(e.what());
    // The finish page lists it with the run's other errors.
    std::string report = e.what();
    std::replace(report.begin(), report.end(), '\n', ' ');
    record_wizard_error(report);
}
