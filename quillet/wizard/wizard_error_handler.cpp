// The wizard's presentation of the error handler: an internal error in its dialog, then the
// process ends with -1; an error in the shell's error box; an error after which work may go
// on in the continue-or-abort dialog. Levels 0 and 1 are kept in the shell's error list.
#include "g_error_dialogs.h"
#include "g_wizard_shell.h"
#include "plat_window.h"
#include "tk_error_handler.h"
#include "tk_log.h"
#include "tk_thread.h"
#include "wizard_error_list.h"

#include <cstdio>
#include <unistd.h>

namespace {

// Ends the process with -1 from whichever thread: the runtime's exit would destroy static
// objects while the user-interface thread may still use them.
[[noreturn]] void end_process()
{
    std::fflush(nullptr);
    _exit(-1);
}

} // namespace

void error_handler::handle(const tk_exception& e, bool top_level)
{
    tk_log(2, "error_handler::handle('%s',top_level=%d)", e.what(), top_level ? 1 : 0);
    if (e.level == 2) {
        tk_log(3, "Internal error:\n%s", e.what());
        dlg_error_ex<114> dialog{std::string(e.what())};
        dialog.do_modal(plat::get_active_window());
        end_process();
    }
    const std::string text = report_text(e);
    // A worker whose run is being stopped (the wizard is closing) shows and keeps nothing.
    if (tk_stop_requested_on_this_thread())
        return;
    record_wizard_error(text);
    if (e.level == 1) {
        tk_log(1, "Got 1-level error");
        if (!quiet) {
            tk_log(1, "Step 1");
            wizard_shell::error(text);
        }
        tk_log(1, "Step 2");
        for (const auto& [code, topic] : help_topics)
            if (code == e.code)
                wizard_shell::display_help(topic);
        if (!top_level)
            throw tk_final_exception();
        return;
    }
    tk_log(1, "Got 0-level error");
    if (quiet)
        return;
    dlg_error_continue<115> dialog(text);
    const int result = dialog.do_modal(plat::get_active_window());
    if (!top_level && result == error_dialog_ids::abort)
        throw tk_final_exception();
    quiet = dialog.dont_show;
}
