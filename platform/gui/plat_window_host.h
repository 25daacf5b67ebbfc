#pragma once
// One of the layer's own windows (a dialog, a page, the sheet): while it lives its widget
// is a window that messages can be sent to, first to its attached message map, then to
// its default handling. Used inside the layer only.
#include "plat_window.h"

namespace plat {

class window_host {
public:
    explicit window_host(QWidget* widget);
    virtual ~window_host();
    window_host(const window_host&) = delete;
    window_host& operator=(const window_host&) = delete;

    QWidget* widget() const { return self; }

    // The window's own handling of a message that its map left unhandled.
    virtual lresult default_proc(unsigned msg, wparam w, lparam l);

    message_map* map = nullptr;
    // The owner object's copy of this window's handle: cleared when the window ends.
    hwnd* handle_slot = nullptr;

private:
    QWidget* self;
};

window_host* find_host(hwnd window);

// Gives a control the id that get_dlg_item finds it by and get_dlg_ctrl_id returns.
void set_dlg_ctrl_id(QWidget* control, int id);

// Sends a control's notification to the window that holds it (WM_COMMAND with the
// control's id and the notification code).
void notify_parent(QWidget* control, unsigned code);

} // namespace plat
