#include "g_wizard_page.h"

#include "g_wizard_shell.h"
#include "message_table.h"
#include "plat_gui_constants.h"
#include "tk_exception.h"
#include "tk_log.h"

namespace {

int mul_div(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    return static_cast<int>((product + denominator / 2) / denominator);
}

} // namespace

wizard_page_base::wizard_page_base(const plat::dialog_template& resource, unsigned buttons, unsigned flags)
    : wizard_buttons(buttons)
{
    psp.flags = plat::PSP_USECALLBACK | flags;
    psp.resource = &resource;
    psp.object = this;
}

wizard_page_base::~wizard_page_base()
{
    tk_log(2, "wizard_page::dtor");
    if (plat::is_window(window))
        plat::destroy_window(window);
    window = nullptr;
    if (title_font != nullptr && plat::delete_object(title_font))
        title_font = nullptr;
}

bool wizard_page_base::ProcessWindowMessage(plat::hwnd, unsigned msg, plat::wparam, plat::lparam l,
                                            plat::lresult& result, unsigned map_id)
{
    if (map_id != 0)
        return false;
    if (msg == plat::WM_NOTIFY)
        return dispatch_notify(l, result);
    return false;
}

bool wizard_page_base::dispatch_notify(plat::lparam l, plat::lresult& result)
{
    const auto* notification = reinterpret_cast<const plat::nmhdr*>(l);
    if (notification == nullptr || (notification->from != window && notification->from != get_parent()))
        return false;
    switch (notification->code) {
    case plat::PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        return true;
    case plat::PSN_KILLACTIVE:
        result = on_kill_active() ? 0 : 1;
        return true;
    case plat::PSN_WIZNEXT:
        result = on_next();
        return true;
    case plat::PSN_WIZBACK:
        result = on_back();
        return true;
    case plat::PSN_WIZFINISH:
        result = on_finish() ? 0 : 1;
        return true;
    case plat::PSN_QUERYCANCEL:
        result = on_cancel() ? 0 : 1;
        return true;
    case plat::PSN_HELP:
        on_help();
        result = 0;
        return true;
    case plat::PSN_APPLY:
    case plat::PSN_RESET:
    case plat::PSN_TRANSLATEACCELERATOR:
    case plat::PSN_QUERYINITIALFOCUS:
        result = 0;
        return true;
    default:
        return false;
    }
}

bool wizard_page_base::page_init() { return true; }
bool wizard_page_base::on_kill_active() { return true; }
bool wizard_page_base::on_finish() { return true; }
void wizard_page_base::on_help() {}
int wizard_page_base::on_next() { return 0; }
int wizard_page_base::on_back() { return 0; }

bool wizard_page_base::on_cancel()
{
    tk_log(2, "wizard_page::on_cancel");
    wizard_shell::instance();
    return wizard_shell::question(msg::exit_question, plat::MB_DEFBUTTON2);
}

bool wizard_page_base::OnSetActive()
{
    tk_log(1, "wizard_page::OnSetActive");
    plat::post_message(get_parent(), plat::PSM_SETWIZBUTTONS, 0, static_cast<plat::lparam>(wizard_buttons));
    wizard_shell::instance()->init_window();
    return page_init();
}

void wizard_page_base::enable_ctrl(int id, bool enable)
{
    tk_log(1, "wizard_page::enable_ctrl(%d=%d)", id, enable ? 1 : 0);
    plat::hwnd control = get_dlg_item(id);
    plat::enable_window(control, enable);
    if (enable)
        plat::set_focus(control);
}

bool wizard_page_base::invert_chbox(int id)
{
    tk_log(1, "wizard_page::invert_chbox(%d)", id);
    const int state = is_dlg_button_checked(id) == plat::BST_CHECKED ? plat::BST_UNCHECKED : plat::BST_CHECKED;
    if (!plat::check_dlg_button(window, id, state))
        throw tk_mail_assertion(g_wiz_pg::source, 123);
    return state == plat::BST_CHECKED;
}

void wizard_page_base::set_title_font(int id)
{
    if (title_font == nullptr) {
        plat::log_font description;
        description.height = -mul_div(13, plat::logical_pixels_y(window), 72);
        description.weight = 400;
        description.charset = 1;
        description.pitch_and_family = 0x22;
        description.face = msg::title_font_face;
        title_font = plat::create_font(description);
    }
    plat::send_dlg_item_message(window, id, plat::WM_SETFONT, reinterpret_cast<plat::wparam>(title_font), 1);
}
