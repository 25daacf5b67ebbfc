#include "plat_thread.h"

#include "plat_error.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace plat {

namespace {
struct installed_stop_test {
    stop_test test = nullptr;
    const void* context = nullptr;
};
thread_local installed_stop_test stop_test_of_this_thread;

// What the thread and its handle share: it lives until both are done with it.
struct end_state {
    std::mutex mutex;
    std::condition_variable ended_signal;
    bool ended = false;
};
} // namespace

struct thread_object {
    std::thread thread;
    std::shared_ptr<end_state> state;
};

thread_handle create_thread(thread_start_routine routine, void* parameter)
{
    auto object = std::make_unique<thread_object>();
    auto state = std::make_shared<end_state>();
    object->state = state;
    try {
        object->thread = std::thread([state, routine, parameter] {
            routine(parameter);
            const std::lock_guard<std::mutex> guard(state->mutex);
            state->ended = true;
            state->ended_signal.notify_all();
        });
    } catch (const std::system_error& e) {
        set_last_error(e.code().value());
        return nullptr;
    }
    return object.release();
}

bool wait_for_thread(thread_handle thread, unsigned milliseconds)
{
    end_state& state = *thread->state;
    std::unique_lock<std::mutex> lock(state.mutex);
    if (milliseconds == infinite_wait)
        state.ended_signal.wait(lock, [&state] { return state.ended; });
    else
        state.ended_signal.wait_for(lock, std::chrono::milliseconds(milliseconds), [&state] { return state.ended; });
    return state.ended;
}

void close_thread(thread_handle thread)
{
    if (thread->thread.joinable()) {
        if (wait_for_thread(thread, 0))
            thread->thread.join();
        else
            thread->thread.detach();
    }
    delete thread;
}

void set_stop_test_of_this_thread(stop_test test, const void* context) noexcept
{
    stop_test_of_this_thread = {test, context};
}

bool stop_requested_on_this_thread() noexcept
{
    const installed_stop_test& installed = stop_test_of_this_thread;
    return installed.test != nullptr && installed.test(installed.context);
}

} // namespace plat
