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

} // namespace plat
