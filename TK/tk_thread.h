#pragma once
// A worker thread that runs one work object, and the work object's base with its run
// loop built from overridable steps.
#include "plat_thread.h"
#include "tk_exception.h"

#include <atomic>

// A work object. Running it tests is_done, and until that reports true calls idle and
// tests again; then it calls on_done. The defaults idle in 100 ms steps forever, until
// their thread is asked to stop.
class tk_thread_functor {
public:
    tk_thread_functor() = default;
    virtual ~tk_thread_functor();
    tk_thread_functor(const tk_thread_functor&) = delete;
    tk_thread_functor& operator=(const tk_thread_functor&) = delete;

    // The run loop. A stop request ends it before the next idle step, without on_done.
    virtual void operator()();
    virtual bool is_done();
    // One idle step: 100 ms, cut short by a stop request.
    virtual void idle();
    virtual void on_done();

    // Asks the run to end soon; a work object that overrides operator() looks at
    // stop_requested() between its steps. Cleared when a tk_thread starts the object.
    void request_stop() noexcept;
    bool stop_requested() const noexcept;

private:
    friend class tk_thread;
    std::atomic<bool> stop {false};
};

// True on a tk_thread worker whose work object has been asked to stop; false on every
// other thread. Waits on a worker (the library's abort callback, a box shown on the
// user-interface thread) use it to give up.
bool tk_stop_requested_on_this_thread() noexcept;

// Where an exception that escapes a work object on its worker goes, as the internal
// error it is: the error handler installs its report here. Once the reporter returns
// (or when none is installed, after the text has gone to stderr) the process ends with
// exit code -1.
using tk_internal_error_reporter = void (*)(const tk_exception& error);
void tk_set_internal_error_reporter(tk_internal_error_reporter reporter) noexcept;

// Owns one system thread and the work object it runs. Idle (no handle), running, or
// ended (handle held, thread finished). Used from the owner's thread only.
class tk_thread {
public:
    // `owns_functor`: whether clean-up deletes the work object.
    explicit tk_thread(bool owns_functor);
    // Stops and awaits a running thread, then cleans up.
    virtual ~tk_thread();
    tk_thread(const tk_thread&) = delete;
    tk_thread& operator=(const tk_thread&) = delete;

    // Supplies the work object for start; the default makes a plain one and owns it.
    virtual tk_thread_functor* create_functor();

    // Cleans up an ended run and starts a new one. A refused thread is logged and the
    // thread stays not running.
    void start();
    // Asks the work object to stop, waits until the thread has ended, cleans up. A thread
    // is not killed: that would leave the library's state and open files behind. A work
    // object that replaces operator() must look at the request to let this return.
    void terminate();
    // Asks the work object to stop and waits up to `milliseconds` for the thread to end
    // (plat::infinite_wait: without limit). True when no thread runs any more: the run is
    // cleaned up. False when it still runs (blocked in a system call, say): the handle and
    // the work object stay, and the caller must keep alive whatever the work object uses.
    bool stop_within(unsigned milliseconds);
    // Releases the handle of an ended run and the work object when owned.
    void cleanup();

    // Whether the thread runs; waits up to 10 ms for it to end to find out.
    bool is_running() const;

    // The routine the thread runs; `parameter` is the work object.
    static unsigned thread_proc(void* parameter);

protected:
    plat::thread_handle thread = nullptr;
    bool owns_functor;
    tk_thread_functor* functor = nullptr;

private:
    bool stop_and_wait(unsigned milliseconds);
};
