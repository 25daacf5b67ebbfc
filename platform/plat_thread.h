#pragma once
// System threads as the toolkit's worker thread uses them: start at once, wait for the
// end with or without a time limit, release the handle.
namespace plat {

struct thread_object;
using thread_handle = thread_object*;
using thread_start_routine = unsigned (*)(void* parameter);

inline constexpr unsigned infinite_wait = 0xFFFFFFFFu;

// Starts a thread running routine(parameter). Null when the system refuses; then
// last_error() tells why.
thread_handle create_thread(thread_start_routine routine, void* parameter);

// Waits up to `milliseconds` (or without limit, infinite_wait) for the thread to end;
// true when it has ended.
bool wait_for_thread(thread_handle thread, unsigned milliseconds);

// Releases the handle. A thread that still runs goes on by itself.
void close_thread(thread_handle thread);

// The calling thread's stop test: a wait that this layer makes on the thread's behalf (a
// call carried out on the user-interface thread) gives up once the test reports true. The
// owner of the thread's work sets it while the work runs, and clears it with null; a thread
// without one is never stopped.
using stop_test = bool (*)(const void* context) noexcept;
void set_stop_test_of_this_thread(stop_test test, const void* context) noexcept;
bool stop_requested_on_this_thread() noexcept;

} // namespace plat
