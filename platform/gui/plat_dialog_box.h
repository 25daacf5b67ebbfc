#pragma once
// Modal dialogs made from templates. The program's dialog object receives the dialog's
// messages (WM_INITDIALOG, WM_COMMAND) through its message map and ends the dialog with
// end_dialog. Escape and the caption's close box are the command IDCANCEL (2), which the
// object may handle or ignore, as the system's dialogs do. Enter and the space bar press the
// push button that has the focus; Enter on any other control presses the default button.
#include "plat_dialog_template.h"
#include "plat_window.h"

namespace plat {

// A dialog's or page's object: the message map of its window and the window's handle
// while the window lives.
class window_object : public message_map {
public:
    hwnd window = nullptr;

protected:
    ~window_object() = default;
};

// Runs the dialog modally over `parent` (none: no owner) and returns the value it ended
// with; -1 when it can't be made (no user-interface thread, or the asking thread was
// released by a stop request before the dialog was shown). On another thread than the
// user-interface thread the dialog runs on that thread while the caller waits.
int dialog_box(const dialog_template& resource, hwnd parent, window_object* object, lparam init_param = 0);

bool end_dialog(hwnd dialog, int result);

// Centres a window over its owner when the owner is visible and not minimised, else over
// the work area of its screen, and keeps it inside that work area (the left and top edges
// win when it is larger).
void center_window(hwnd window, hwnd owner);

void bring_window_to_top(hwnd window);

} // namespace plat
