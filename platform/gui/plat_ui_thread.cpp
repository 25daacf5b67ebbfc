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

// Qt hands a queued call over to the user-interface thread under a lock of its own, which
// ThreadSanitizer does not see (Qt's mutexes wait on the kernel directly), so the call's
// state, made on the calling thread, would look unguarded where the call runs. This lock,
// held while the call is queued and taken before the call looks at its state, makes the
// hand-over visible; it is never held for longer than the queuing.
std::mutex handover;

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
    std::unique_lock<std::mutex> queuing(handover);
    QMetaObject::invokeMethod(
        app,
        [state] {
            { const std::lock_guard<std::mutex> received(handover); }
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
        },
        Qt::QueuedConnection);
    queuing.unlock();

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

} // namespace plat
