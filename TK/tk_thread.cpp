#include "tk_thread.h"

#include "plat_error.h"
#include "tk_log.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* source = "tk_threa";
constexpr auto idle_step = std::chrono::milliseconds(100);
// How often an idle step looks at the stop request.
constexpr auto stop_poll = std::chrono::milliseconds(5);

std::atomic<tk_internal_error_reporter> internal_error_reporter {nullptr};

bool work_stop_requested(const void* work) noexcept
{
    return static_cast<const tk_thread_functor*>(work)->stop_requested();
}

// While a worker runs its work object, the object's stop request is the thread's stop test,
// which also releases the worker's waits for the user-interface thread.
class work_scope {
public:
    explicit work_scope(const tk_thread_functor* work)
    {
        plat::set_stop_test_of_this_thread(&work_stop_requested, work);
    }
    ~work_scope() { plat::set_stop_test_of_this_thread(nullptr, nullptr); }
    work_scope(const work_scope&) = delete;
    work_scope& operator=(const work_scope&) = delete;
};

[[noreturn]] void end_with_internal_error(const tk_exception& error) noexcept
{
    const tk_internal_error_reporter reporter = internal_error_reporter.load();
    if (reporter != nullptr) {
        try {
            reporter(error);
        } catch (...) {
            // A report that ends in an exception has still been made.
        }
    } else {
        std::fprintf(stderr, "%s\n", error.what());
    }
    std::fflush(nullptr);
    _exit(-1);
}

} // namespace

tk_thread_functor::~tk_thread_functor() = default;

void tk_thread_functor::operator()()
{
    while (!is_done()) {
        if (stop_requested())
            return;
        idle();
    }
    on_done();
}

bool tk_thread_functor::is_done() { return false; }

void tk_thread_functor::idle()
{
    const auto end = std::chrono::steady_clock::now() + idle_step;
    for (auto now = std::chrono::steady_clock::now(); now < end && !stop_requested();
         now = std::chrono::steady_clock::now())
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(stop_poll, end - now));
}

void tk_thread_functor::on_done() {}

void tk_thread_functor::request_stop() noexcept { stop.store(true); }

bool tk_thread_functor::stop_requested() const noexcept { return stop.load(); }

bool tk_stop_requested_on_this_thread() noexcept { return plat::stop_requested_on_this_thread(); }

void tk_set_internal_error_reporter(tk_internal_error_reporter reporter) noexcept
{
    internal_error_reporter.store(reporter);
}

tk_thread::tk_thread(bool owns_functor_) : owns_functor(owns_functor_) {}

tk_thread::~tk_thread()
{
    if (is_running())
        stop_and_wait(plat::infinite_wait);
    cleanup();
}

tk_thread_functor* tk_thread::create_functor()
{
    owns_functor = true;
    return new tk_thread_functor;
}

bool tk_thread::is_running() const { return thread != nullptr && !plat::wait_for_thread(thread, 10); }

void tk_thread::start()
{
    if (is_running())
        throw tk_mail_assertion(source, 92);
    cleanup();
    functor = create_functor();
    if (functor == nullptr)
        throw tk_mail_assertion(source, 105);
    functor->stop.store(false);
    thread = plat::create_thread(&tk_thread::thread_proc, functor);
    if (thread == nullptr)
        tk_log(3, "tk_thread::start: the system refused to create the thread (error %d)", plat::last_error());
}

bool tk_thread::stop_and_wait(unsigned milliseconds)
{
    functor->request_stop();
    return plat::wait_for_thread(thread, milliseconds);
}

void tk_thread::terminate()
{
    if (!is_running())
        throw tk_mail_assertion(source, 55);
    stop_and_wait(plat::infinite_wait);
    cleanup();
}

bool tk_thread::stop_within(unsigned milliseconds)
{
    if (thread != nullptr && !stop_and_wait(milliseconds))
        return false;
    cleanup();
    return true;
}

void tk_thread::cleanup()
{
    if (is_running())
        throw tk_mail_assertion(source, 71);
    if (thread != nullptr) {
        plat::close_thread(thread);
        thread = nullptr;
    }
    if (functor != nullptr && owns_functor)
        delete functor;
    functor = nullptr;
}

// Whatever escapes the work object here would end the process in the runtime's abort;
// it is reported as an internal error instead. An error already reported only ends
// the run.
unsigned tk_thread::thread_proc(void* parameter)
{
    try {
        if (parameter == nullptr)
            throw tk_mail_assertion(source, 149);
        auto* work = static_cast<tk_thread_functor*>(parameter);
        const work_scope scope(work);
        (*work)();
    } catch (const tk_final_exception&) {
    } catch (const tk_exception& e) {
        tk_exception internal(e);
        internal.level = 2;
        end_with_internal_error(internal);
    } catch (const std::exception& e) {
        end_with_internal_error(tk_exception(e.what(), 2));
    } catch (...) {
        end_with_internal_error(tk_exception(2));
    }
    return 1;
}
