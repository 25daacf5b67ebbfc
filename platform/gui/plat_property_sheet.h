#pragma once
// The wizard-style property sheet: a modal window that shows one page at a time, with the
// watermark at the left of exterior pages, a header band (title, subtitle, header bitmap)
// above interior pages, and the buttons Back, Next or Finish, Cancel and Help.
//
// Pages are told what happens through WM_NOTIFY notifications from the sheet and answer with
// the notification's result: PSN_SETACTIVE 0 (shown) or -1 (skipped); PSN_KILLACTIVE 0 (may be
// left); PSN_WIZNEXT / PSN_WIZBACK 0 (the neighbour), -1 (stay) or the dialog id of the page to
// show; PSN_WIZFINISH 0 (close); PSN_QUERYCANCEL 0 (close); PSN_HELP.
// The sheet answers PSM_SETWIZBUTTONS (lParam: the PSWIZB_* mask), PSM_SETCURSELID (lParam:
// the dialog id; switches at once), PSM_GETCURRENTPAGEHWND, PSM_PRESSBUTTON (wParam: a
// PSBTN_*) and WM_SETICON. Escape and the caption's close box are Cancel while the Cancel
// button is enabled; F1 sends the sheet WM_HELP. Enter and the space bar press the push button
// that has the focus; Enter elsewhere presses Next or Finish. Tab goes through the page's
// controls, then Back, Next or Finish, Cancel and Help.
#include "plat_dialog_box.h"
#include "plat_dialog_template.h"
#include "plat_resources.h"
#include "plat_window.h"

#include <functional>
#include <string>
#include <vector>

namespace plat {

// One page of the sheet: its template, flags and header texts, and the object that receives
// its messages (its `window` is set while the page's window lives).
struct prop_sheet_page {
    unsigned flags = 0;
    const dialog_template* resource = nullptr;
    std::string header_title;
    std::string header_subtitle;
    window_object* object = nullptr;
};

struct prop_sheet_header {
    unsigned flags = 0;
    std::string caption;
    int start_page = 0;
    hwnd parent = nullptr;
    hbitmap watermark = nullptr;
    hbitmap header = nullptr;
    // Called with PSCB_INITIALIZED once the sheet window exists, before the first page is
    // activated.
    std::function<void(hwnd sheet, int message)> callback;
    std::vector<prop_sheet_page*> pages;
};

// Runs the sheet modally: 1 after Finish, 0 after Cancel, -1 when it can't be made (no pages,
// no user-interface thread, no page that accepts the first activation).
int property_sheet(const prop_sheet_header& header);

} // namespace plat
