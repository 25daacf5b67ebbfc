#pragma once
// Calls carried out on the user-interface thread. Widgets live on that thread only, so a box,
// a dialog or a timer asked for on another thread is queued to it while the asking thread
// waits. The waiting thread's stop test (plat_thread.h) releases it as long as the call has
// not started; a call that has started is always waited for, so the call may use the caller's
// objects.
#include <functional>

namespace plat {

// True when a user-interface thread exists (the application object has been made).
bool has_ui_thread();
bool on_ui_thread();

// Runs `call` on the user-interface thread and returns true once it has run; an exception
// it raised is raised again in the caller. False, without running it, when there is no
// user-interface thread or when a stop request released the waiting caller first.
bool run_on_ui_thread(const std::function<void()>& call);

// Queues `call` for the user-interface thread and returns at once; calls queued by one thread
// run in the order queued. False, without queuing it, when there is no user-interface thread.
bool post_to_ui_thread(std::function<void()> call);

} // namespace plat
