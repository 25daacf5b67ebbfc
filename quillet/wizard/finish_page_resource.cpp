// The finish page's dialog: the title, the result text, the errors box (shown after a failed
// run), the hint and "Open on exit" (shown after a successful one) and "Save Settings...".
#include "g_finish_page.h"
#include "message_table.h"
#include "plat_dialog_template.h"
#include "plat_gui_constants.h"

using namespace plat;

template <>
const dialog_template& plat::dialog_resource<126>()
{
    static const dialog_template resource{
        126,
        317,
        193,
        msg::dialog_font_face,
        8,
        {
            {g_finish::title_id, "STATIC", msg::finish_title, SS_LEFT | WS_VISIBLE, 115, 8, 195, 24},
            {g_finish::result_id, "STATIC", "", SS_LEFT | WS_VISIBLE, 115, 38, 195, 40},
            {g_finish::errors_id, "EDIT", "", ES_MULTILINE | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 115, 80, 195, 80},
            {g_finish::hint_id, "STATIC", "", SS_LEFT | WS_VISIBLE, 115, 110, 195, 16},
            {g_finish::open_on_exit_id, "BUTTON", msg::finish_open_on_exit, BS_CHECKBOX | WS_TABSTOP | WS_VISIBLE, 115,
             130, 100, 10},
            {g_finish::save_settings_id, "BUTTON", msg::finish_save_settings,
             BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 115, 168, 70, 15},
        },
    };
    return resource;
}
