#pragma once
// Windows, their messages and their controls on the widget toolkit.
// A window handle is the widget itself. A window of ours (a dialog, a page, the sheet)
// hands its messages first to the message map attached to it (the object of the
// program that owns it), then to its own default handling; a control answers the
// control messages itself. Messages are sent on the user-interface thread: a send from
// another thread is carried out there while the sender waits.
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

class QWidget;

namespace plat {

using hwnd = QWidget*;
using wparam = std::uintptr_t;
using lparam = std::intptr_t;
using lresult = std::intptr_t;

inline wparam make_wparam(unsigned low, unsigned high)
{
    return static_cast<wparam>(low & 0xFFFFu) | (static_cast<wparam>(high & 0xFFFFu) << 16);
}
inline unsigned loword(wparam w) { return static_cast<unsigned>(w & 0xFFFFu); }
inline unsigned hiword(wparam w) { return static_cast<unsigned>((w >> 16) & 0xFFFFu); }

// The header of a WM_NOTIFY notification; its address travels as lParam.
struct nmhdr {
    hwnd from = nullptr;
    std::uintptr_t id = 0;
    int code = 0;
};

// The program's handler of a window's messages. It returns whether it handled the
// message and, when it did, the message's result.
class message_map {
public:
    virtual bool ProcessWindowMessage(hwnd window, unsigned msg, wparam w, lparam l, lresult& result,
                                      unsigned map_id) = 0;

protected:
    ~message_map() = default;
};

// Attaches a message map to one of our windows (a second map replaces the first, as a
// subclassing does); null detaches it.
void attach_message_map(hwnd window, message_map* map);

lresult send_message(hwnd window, unsigned msg, wparam w, lparam l);
// Queues the message for the user-interface thread; messages posted to one window arrive in
// the order posted. False when the window does not exist.
bool post_message(hwnd window, unsigned msg, wparam w, lparam l);

// Runs a handler that the widget toolkit's event dispatch called (a click, a focus change, a
// timer tick, a posted message): an exception it raises goes to the failure handler and no
// further, since it may not unwind through the toolkit. Without a failure handler the
// exception's text goes to the standard error stream.
void guarded_dispatch(const std::function<void()>& handler);
using dispatch_failure_handler = void (*)(std::exception_ptr failure);
void set_dispatch_failure_handler(dispatch_failure_handler handler);

bool is_window(hwnd window);
void destroy_window(hwnd window);
// The window that holds `window`: a control's dialog or page, a page's sheet.
hwnd get_parent(hwnd window);
// The calling thread's active window: the active top-level widget on the user-interface
// thread, none on any other thread.
hwnd get_active_window();

// Controls by id (the control's id within the dialog, page or sheet that holds it).
hwnd get_dlg_item(hwnd dialog, int id);
int get_dlg_ctrl_id(hwnd control);
bool set_window_text(hwnd window, const std::string& text);
// The window's text cut to `capacity` - 1 bytes, as a read into a buffer of that size.
std::string get_window_text(hwnd window, int capacity = 260);
bool set_dlg_item_text(hwnd dialog, int id, const std::string& text);
std::string get_dlg_item_text(hwnd dialog, int id, int capacity = 260);
bool check_dlg_button(hwnd dialog, int id, int state);
int is_dlg_button_checked(hwnd dialog, int id);
lresult send_dlg_item_message(hwnd dialog, int id, unsigned msg, wparam w, lparam l);
bool enable_window(hwnd window, bool enable);
bool show_window(hwnd window, int command);
// The window that has the keyboard focus: a control of the active window on the
// user-interface thread, none on any other thread.
hwnd get_focus();
hwnd set_focus(hwnd window);

} // namespace plat
