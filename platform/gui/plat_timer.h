#pragma once
// Timers of a window: each tick is the message WM_TIMER with the timer's id, sent to the
// window on the user-interface thread. A timer asked for on another thread is set on the
// user-interface thread while the caller waits.
#include "plat_window.h"

namespace plat {

// Sets (or resets) the window's timer `id`; false when the window does not exist, when there
// is no user-interface thread, or when a stop request released the waiting caller.
bool set_timer(hwnd window, wparam id, unsigned period_ms);
bool kill_timer(hwnd window, wparam id);

} // namespace plat
