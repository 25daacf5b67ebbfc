#include "progress_page.h"

#include "g_wizard_shell.h"
#include "message_table.h"
#include "quillet_convertor.h"
#include "tk_log.h"

#include <cstdio>

using namespace plat;

template <>
const dialog_template& plat::dialog_resource<105>()
{
    static const dialog_template resource{
        105,
        317,
        143,
        msg::dialog_font_face,
        8,
        {
            {IDC_STATIC, "STATIC", msg::progress_line1, SS_LEFT | WS_VISIBLE, 22, 10, 280, 8},
            {IDC_STATIC, "STATIC", msg::progress_line2, SS_LEFT | WS_VISIBLE, 22, 20, 280, 8},
            {progress_page::bar_id, "msctls_progress32", msg::progress_bar_text, WS_BORDER | WS_VISIBLE, 22, 50, 273,
             14},
            {progress_page::status_id, "STATIC", "", SS_CENTER | WS_VISIBLE, 22, 72, 273, 8},
        },
    };
    return resource;
}

progress_page::progress_page() : tk_thread(false)
{
    title_font = nullptr;
    psp.header_title = msg::progress_header_title;
    psp.flags |= PSP_USEHEADERTITLE;
    psp.header_subtitle = msg::progress_header_subtitle;
    psp.flags |= PSP_USEHEADERSUBTITLE;
}

progress_page::~progress_page() = default;

tk_thread_functor* progress_page::create_functor() { return quillet_convertor::instance(); }

bool progress_page::ProcessWindowMessage(hwnd window_, unsigned msg, wparam w, lparam l, lresult& result,
                                         unsigned map_id)
{
    if (map_id != 0)
        return false;
    if (msg == WM_TIMER) {
        on_timer(w);
        result = 0;
        return true;
    }
    return wizard_page_base::ProcessWindowMessage(window_, msg, w, l, result, map_id);
}

bool progress_page::page_init()
{
    // Posted after the template's Back and Next, so the page ends with neither.
    post_message(get_parent(), PSM_SETWIZBUTTONS, 0, 0);
    send_dlg_item_message(window, bar_id, PBM_SETPOS, 0, 0);
    start();
    return true;
}

void progress_page::on_help() { wizard_shell::display_help(); }

void progress_page::on_timer(wparam)
{
    const double progress = quillet_convertor::instance()->get_progress();
    if (progress >= 100.0) {
        wizard_shell::instance()->stop_timer();
        send_message(wizard_shell::instance()->window(), PSM_SETCURSELID, 0, finish_page_id);
    }
    send_dlg_item_message(window, bar_id, PBM_SETPOS, static_cast<wparam>(static_cast<int>(progress)), 0);

    const quillet_convertor* converter = quillet_convertor::instance();
    char status[256] = {};
    std::snprintf(status, sizeof status, msg::progress_status, static_cast<long>(converter->pages_done.load()),
                  static_cast<long>(converter->pages_total.load()));
    set_dlg_item_text(status_id, status);
}
