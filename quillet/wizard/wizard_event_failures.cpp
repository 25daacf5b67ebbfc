#include "wizard_event_failures.h"

#include "g_wizard_shell.h"
#include "plat_window.h"
#include "tk_error_handler.h"

void wizard_report_event_failure(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const tk_exception& e) {
        if (e.level == 2 && error_handler::has_instance()) {
            error_handler::instance()->handle(e, true);
            return;
        }
        wizard_shell::report_event_failure(std::current_exception());
    } catch (...) {
        wizard_shell::report_event_failure(std::current_exception());
    }
}

void install_wizard_event_failure_report() { plat::set_dispatch_failure_handler(&wizard_report_event_failure); }
