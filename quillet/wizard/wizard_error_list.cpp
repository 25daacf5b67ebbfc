#include "wizard_error_list.h"

#include "g_wizard_shell.h"

void record_wizard_error(const std::string& report)
{
    if (wizard_shell::is_initialized())
        wizard_shell::instance()->add_error(report, wizard_error_list_limit);
}
