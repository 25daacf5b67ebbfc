#include "plat_ui_thread.h"

#include "plat_thread.h"

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

namespace plat {

namespace {

struct queued_call {
    std::function<void()> call;
    std::mutex lock;
    std::condition_variable changed;
    bool started = false;
    bool abandoned = false;
    bool done = false;
    std::exception_ptr failure;
};

// How often a waiting thread looks at its stop request.
constexpr std::chrono::milliseconds stop_poll{20};

// Hands a queued closure over to the user-interface thread in an order that
// ThreadSanitizer sees. Qt's event queue already orders the post before the call, but its
// locks wait on the kernel inside code that is not instrumented, so the closure's captures
// would look written and read unguarded. The posting thread holds this lock while the closure
// is copied into the queue, and the closure takes it before it reads what it captured.
std::mutex& handoff_lock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

bool has_ui_thread() { return QCoreApplication::instance() != nullptr; }

bool on_ui_thread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

bool run_on_ui_thread(const std::function<void()>& call)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr)
        return false;
    if (QThread::currentThread() == app->thread()) {
        call();
        return true;
    }
    auto state = std::make_shared<queued_call>();
    state->call = call;
    post_to_ui_thread([state] {
        {
            std::lock_guard<std::mutex> guard(state->lock);
            if (state->abandoned)
                return;
            state->started = true;
        }
        try {
            state->call();
        } catch (...) {
            state->failure = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> guard(state->lock);
            state->done = true;
        }
        state->changed.notify_all();
    });

    std::unique_lock<std::mutex> guard(state->lock);
    while (!state->done) {
        if (state->changed.wait_for(guard, stop_poll, [&] { return state->done; }))
            break;
        if (!state->started && stop_requested_on_this_thread()) {
            state->abandoned = true;
            return false;
        }
    }
    if (state->failure)
        std::rethrow_exception(state->failure);
    return true;
}

bool post_to_ui_thread(std::function<void()> call)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr)
        return false;
    const std::lock_guard<std::mutex> posting(handoff_lock());
    QMetaObject::invokeMethod(
        app,
        [call = std::move(call)] {
            { const std::lock_guard<std::mutex> received(handoff_lock()); }
            call();
        },
        Qt::QueuedConnection);
    return true;
}

} // namespace plat
