#include "g_error_dialogs.h"

#include "g_wizard_shell.h"
#include "message_table.h"
#include "plat_gui_constants.h"
#include "tk_desktop_services.h"
#include "tk_log.h"

using namespace plat;
namespace ids = error_dialog_ids;

namespace {
// The system's error icon, shown by both dialogs.
constexpr const char* error_icon = "#32513";
} // namespace

template <>
const dialog_template& plat::dialog_resource<114>()
{
    static const dialog_template resource{
        114,
        264,
        58,
        msg::dialog_font_face,
        8,
        {
            {ids::text, "STATIC", "", SS_LEFT | WS_GROUP | WS_VISIBLE, 41, 10, 192, 19},
            {ids::send_bug, "BUTTON", msg::send_bug_button, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 42, 37, 50, 14},
            {ids::ok, "BUTTON", msg::ok_button, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 102, 37, 50, 14},
            {ids::copy, "BUTTON", msg::copy_to_clipboard_button, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 162, 37, 70, 14},
            {IDC_STATIC, "STATIC", error_icon, SS_ICON | WS_VISIBLE, 7, 7, 21, 21},
        },
    };
    return resource;
}

template <>
const dialog_template& plat::dialog_resource<115>()
{
    static const dialog_template resource{
        115,
        264,
        76,
        msg::dialog_font_face,
        8,
        {
            {ids::text, "STATIC", "", SS_LEFT | WS_GROUP | WS_VISIBLE, 42, 10, 192, 24},
            {ids::continue_, "BUTTON", msg::continue_button, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 42, 54, 50, 14},
            {ids::abort, "BUTTON", msg::abort_button, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 102, 54, 50, 14},
            {ids::dont_show, "BUTTON", msg::dont_show_again, BS_CHECKBOX | WS_TABSTOP | WS_VISIBLE, 42, 40, 160, 8},
            {IDC_STATIC, "STATIC", error_icon, SS_ICON | WS_VISIBLE, 8, 14, 21, 21},
        },
    };
    return resource;
}

error_dialog_base::error_dialog_base(const char* name_, const std::string& text_) : text(text_), name(name_)
{
    tk_log(1, "%s::ctor", name);
}

int error_dialog_base::do_modal(hwnd parent) { return dialog_box(resource(), parent, this); }

bool error_dialog_base::ProcessWindowMessage(hwnd, unsigned msg, wparam w, lparam, lresult& result, unsigned)
{
    if (msg == WM_INITDIALOG) {
        result = on_init() ? 1 : 0;
        return true;
    }
    return msg == WM_COMMAND && on_command(static_cast<int>(loword(w)));
}

bool error_dialog_base::on_init()
{
    tk_log(1, "%s::on_init", name);
    set_window_text(window, wizard_shell::caption(msg::caption_error, msg::caption_error_suffix));
    set_dlg_item_text(window, error_dialog_ids::text, text);
    center_window(window, get_parent(window));
    bring_window_to_top(window);
    return true;
}

dlg_error_ex<114>::dlg_error_ex(const std::string& text_) : error_dialog_base("dlg_error_ex", text_) {}

dlg_error_ex<114>::~dlg_error_ex() = default;

bool dlg_error_ex<114>::on_command(int id)
{
    switch (id) {
    case ids::ok:
        end_dialog(window, ids::ok);
        return true;
    case ids::copy:
        tk_copy_to_clipboard1(text);
        end_dialog(window, ids::copy);
        return true;
    case ids::send_bug:
        on_send_bug();
        return true;
    default:
        return false;
    }
}

void dlg_error_ex<114>::on_send_bug()
{
    const std::string product = wizard_shell::is_initialized() ? wizard_shell::get_instance()->title : std::string();
    tk_send_bug(product, text);
    end_dialog(window, ids::send_bug);
}

dlg_error_continue<115>::dlg_error_continue(const std::string& text_) : error_dialog_base("dlg_error_continue", text_)
{
}

dlg_error_continue<115>::~dlg_error_continue() = default;

bool dlg_error_continue<115>::on_command(int id)
{
    switch (id) {
    case ids::abort:
        end_dialog(window, ids::abort);
        return true;
    case ids::continue_:
        end_dialog(window, ids::continue_);
        return true;
    case ids::dont_show:
        on_dont_show();
        return true;
    default:
        return false;
    }
}

void dlg_error_continue<115>::on_dont_show()
{
    const int state = is_dlg_button_checked(window, ids::dont_show) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    check_dlg_button(window, ids::dont_show, state);
    this->dont_show = state == BST_CHECKED;
}
