// The worker thread, its work object's run loop, stop requests, and what becomes of
// exceptions that escape a work object.
#include "internal_error_cases.h"
#include "test_support.h"
#include "tk_converter.h"
#include "tk_log.h"
#include "tk_thread.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// A work object that records its steps and its destruction.
struct recording_work : tk_thread_functor {
    explicit recording_work(int done_at_test_ = 1, std::atomic<int>* destroyed_ = nullptr)
        : done_at_test(done_at_test_), destroyed(destroyed_)
    {
    }
    ~recording_work() override
    {
        if (destroyed != nullptr)
            ++*destroyed;
    }
    bool is_done() override
    {
        steps += "t";
        return ++tests >= done_at_test;
    }
    void idle() override { steps += "i"; }
    void on_done() override { steps += "d"; }

    int done_at_test;
    std::atomic<int>* destroyed;
    int tests = 0;
    std::string steps;
};

// Runs until it is asked to stop, through the question any wait on a worker asks; counts
// its destruction when given a counter.
struct waiting_work : tk_thread_functor {
    explicit waiting_work(std::atomic<int>* destroyed_ = nullptr) : destroyed(destroyed_) {}
    ~waiting_work() override
    {
        if (destroyed != nullptr)
            ++*destroyed;
    }
    void operator()() override
    {
        started = true;
        while (!tk_stop_requested_on_this_thread())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        saw_stop = true;
    }
    std::atomic<int>* destroyed;
    std::atomic<bool> started {false};
    std::atomic<bool> saw_stop {false};
};

// A thread whose work objects come from a function, as a derived owner supplies them.
struct test_thread : tk_thread {
    test_thread(bool owns, std::function<tk_thread_functor*()> make_) : tk_thread(owns), make(std::move(make_)) {}
    tk_thread_functor* create_functor() override
    {
        ++created;
        return make();
    }
    tk_thread_functor* work() const { return functor; }
    std::function<tk_thread_functor*()> make;
    int created = 0;
};

bool ended(const tk_thread& thread)
{
    return test_support::wait_until([&] { return !thread.is_running(); });
}

TEST(tk_thread_functor, runs_idle_steps_until_done_then_on_done)
{
    struct case_ {
        int done_at_test;
        const char* steps;
    };
    const case_ cases[] = {{1, "td"}, {2, "titd"}, {4, "titititd"}};
    for (const case_& c : cases) {
        recording_work work(c.done_at_test);
        work();
        EXPECT_EQ(work.steps, c.steps);
    }
}

TEST(tk_thread_functor, the_default_loop_idles_in_100_ms_steps_until_asked_to_stop)
{
    tk_thread_functor work;
    EXPECT_FALSE(work.is_done());
    const auto start = std::chrono::steady_clock::now();
    work.idle();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));

    work.request_stop();
    EXPECT_TRUE(work.stop_requested());
    work(); // returns at once, since it has been asked to stop
    EXPECT_FALSE(tk_stop_requested_on_this_thread());
}

TEST(tk_thread, a_thread_never_started_closes_and_deletes_nothing)
{
    std::atomic<int> destroyed {0};
    {
        test_thread thread(true, [&] { return new recording_work(1, &destroyed); });
        EXPECT_FALSE(thread.is_running());
    }
    EXPECT_EQ(destroyed, 0);
}

TEST(tk_thread, runs_the_work_object_on_a_worker_and_ends_with_it)
{
    std::atomic<int> destroyed {0};
    test_thread thread(true, [&] { return new recording_work(3, &destroyed); });
    thread.start();
    auto* work = static_cast<recording_work*>(thread.work());
    ASSERT_TRUE(ended(thread));
    EXPECT_EQ(work->steps, "tititd");
    // A new start releases the ended run's owned work object and runs a fresh one.
    thread.start();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(thread.created, 2);
    ASSERT_TRUE(ended(thread));
    thread.cleanup();
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(thread.work(), nullptr);
}

TEST(tk_thread, the_default_work_object_runs_until_terminated)
{
    tk_thread thread(false);
    thread.start();
    EXPECT_TRUE(thread.is_running());
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_TRUE(thread.is_running());
    thread.terminate();
    EXPECT_FALSE(thread.is_running());
    // The destructor ends a run that is still under way.
    tk_thread other(true);
    other.start();
}

TEST(tk_thread, terminate_asks_the_work_to_stop_and_waits_for_its_end)
{
    waiting_work work;
    test_thread thread(false, [&] { return &work; });
    thread.start();
    ASSERT_TRUE(test_support::wait_until([&] { return work.started.load(); }));
    EXPECT_FALSE(work.stop_requested());
    thread.terminate();
    EXPECT_TRUE(work.saw_stop);
    EXPECT_FALSE(thread.is_running());

    // A new start clears the earlier request.
    work.started = false;
    work.saw_stop = false;
    thread.start();
    ASSERT_TRUE(test_support::wait_until([&] { return work.started.load(); }));
    EXPECT_FALSE(work.stop_requested());
    EXPECT_TRUE(thread.is_running());
}

// Blocked in a read of a pipe until the test writes it: a worker in a system call, which looks
// at no stop request.
struct blocked_work : tk_thread_functor {
    blocked_work(int read_end_, std::atomic<int>* destroyed_) : read_end(read_end_), destroyed(destroyed_) {}
    ~blocked_work() override { ++*destroyed; }
    void operator()() override
    {
        char byte = 0;
        while (::read(read_end, &byte, 1) < 0 && errno == EINTR) {
        }
    }
    int read_end;
    std::atomic<int>* destroyed;
};

TEST(tk_thread, stop_within_cleans_up_a_run_that_ends_in_time_and_keeps_one_that_does_not)
{
    test_thread never_started(true, [] { return new tk_thread_functor; });
    EXPECT_TRUE(never_started.stop_within(0));

    waiting_work waiting;
    test_thread responsive(false, [&] { return &waiting; });
    responsive.start();
    ASSERT_TRUE(test_support::wait_until([&] { return waiting.started.load(); }));
    EXPECT_TRUE(responsive.stop_within(10000));
    EXPECT_TRUE(waiting.saw_stop);
    EXPECT_EQ(responsive.work(), nullptr);

    int pipe_ends[2];
    ASSERT_EQ(::pipe(pipe_ends), 0);
    std::atomic<int> destroyed {0};
    test_thread blocked(true, [&] { return new blocked_work(pipe_ends[0], &destroyed); });
    blocked.start();
    EXPECT_FALSE(blocked.stop_within(20));
    // Its run still uses the work object, which the thread owns: it is kept.
    EXPECT_TRUE(blocked.is_running());
    EXPECT_NE(blocked.work(), nullptr);
    EXPECT_EQ(destroyed, 0);
    ASSERT_EQ(::write(pipe_ends[1], "x", 1), 1);
    ASSERT_TRUE(blocked.stop_within(static_cast<unsigned>(
        std::chrono::duration_cast<std::chrono::milliseconds>(test_support::wait_limit).count())));
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(blocked.work(), nullptr);
    ::close(pipe_ends[0]);
    ::close(pipe_ends[1]);
}

TEST(tk_thread, a_work_object_it_does_not_own_survives_every_end)
{
    std::atomic<int> destroyed {0};
    std::vector<std::unique_ptr<tk_thread_functor>> kept;
    {
        recording_work work(1, &destroyed);
        {
            // Each run lasts until its thread asks it to stop, so terminate and the
            // destructor always meet a running thread.
            test_thread thread(false, [&] {
                kept.push_back(std::make_unique<waiting_work>(&destroyed));
                return kept.back().get();
            });
            thread.start();
            thread.terminate();
            thread.start();
        }
        EXPECT_EQ(kept.size(), 2u);
        EXPECT_EQ(destroyed, 0);
        kept.clear();
        EXPECT_EQ(destroyed, 2);
        destroyed = 0;
        test_thread thread(false, [&] { return &work; });
        thread.start();
        ASSERT_TRUE(ended(thread));
        thread.cleanup();
        thread.start();
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1); // only the local's own end
}

TEST(tk_thread, misuse_is_an_internal_error)
{
    waiting_work work;
    test_thread running(false, [&] { return &work; });
    running.start();
    ASSERT_TRUE(test_support::wait_until([&] { return work.started.load(); }));
    test_thread idle(false, [&] { return &work; });
    test_thread no_work(true, [] { return nullptr; });
    expect_internal_errors("tk_threa", {
        {92, [&] { running.start(); }},
        {71, [&] { running.cleanup(); }},
        {55, [&] { idle.terminate(); }},
        {105, [&] { no_work.start(); }},
    });
    // The running thread was not disturbed.
    EXPECT_TRUE(running.is_running());
    EXPECT_FALSE(work.stop_requested());
    EXPECT_EQ(running.created, 1);
}

// Throws what it is given from the worker.
struct throwing_work : tk_thread_functor {
    explicit throwing_work(std::function<void()> thrower_) : thrower(std::move(thrower_)) {}
    void operator()() override { thrower(); }
    std::function<void()> thrower;
};

void run_to_end(std::function<void()> thrower)
{
    throwing_work work(std::move(thrower));
    test_thread thread(false, [&] { return &work; });
    thread.start();
    EXPECT_TRUE(ended(thread)) << "the worker still ran";
}

void report_to_stderr(const tk_exception& error)
{
    std::fprintf(stderr, "reported level %d: %s\n", error.level, error.what());
}

TEST(tk_thread_death, an_escaping_exception_ends_the_process_as_an_internal_error)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct case_ {
        std::function<void()> thrower;
        const char* text;
    };
    const case_ cases[] = {
        {[] { throw tk_exception("boom", 1); }, "boom"},
        {[] { throw tk_mail_assertion("tk_test", 7); }, "Internal error: "},
        {[] { throw std::runtime_error("runtime failure"); }, "runtime failure"},
        {[] { throw 42; }, "Unknown exception"},
    };
    for (const case_& c : cases) {
        tk_set_internal_error_reporter(nullptr);
        EXPECT_EXIT(run_to_end(c.thrower), testing::ExitedWithCode(255), c.text);
        tk_set_internal_error_reporter(&report_to_stderr);
        EXPECT_EXIT(run_to_end(c.thrower), testing::ExitedWithCode(255),
                    std::string("reported level 2: ") + c.text);
    }
    tk_set_internal_error_reporter(nullptr);
    EXPECT_EXIT(tk_thread::thread_proc(nullptr), testing::ExitedWithCode(255), "Internal error: ");
}

TEST(tk_thread, an_error_already_reported_ends_only_the_run)
{
    run_to_end([] { throw tk_final_exception(); });
    SUCCEED();
}

// Only an unprivileged user is held to the process limit, so the refusal is made there.
TEST(tk_thread, a_refused_thread_is_logged_and_leaves_the_thread_not_running)
{
    test_support::temp_dir dir;
    test_support::open_to_everyone(dir.path());
    const std::string log_file = dir.file("worker.log");
    const int result = test_support::run_unprivileged([&] {
        tk_log_settings log(log_file, 0);
        const rlimit none {0, 0};
        if (setrlimit(RLIMIT_NPROC, &none) != 0)
            return 10;
        tk_thread thread(true);
        thread.start();
        return thread.is_running() ? 11 : 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_NE(test_support::read_file(log_file).find("tk_thread::start: the system refused to create the thread"),
              std::string::npos);
}

TEST(tk_converter, starts_empty_and_exports_its_names_to_a_profile)
{
    test_support::temp_dir dir;
    const std::string log_file = dir.file("converter.log");
    std::string file;
    {
        tk_log_settings log(log_file, 0);
        tk_converter converter;
        EXPECT_FALSE(converter.finished);
        EXPECT_TRUE(converter.src.empty() && converter.dest.empty() && converter.logfile.empty());
        converter.src = "in.pdf";
        converter.dest = "out.txt";
        tk_profile profile;
        profile.set_value("Generic settings", "dest", "set first");
        EXPECT_TRUE(converter.store_profile(profile));
        file = dir.file("profile.ini");
        ASSERT_TRUE(profile.store(file));
    }
    EXPECT_EQ(test_support::read_file(file), "[Generic settings]\r\ndest=set first\r\nlogfile=\r\nsrc=in.pdf\r\n\r\n");
    const std::string log = test_support::read_file(log_file);
    EXPECT_NE(log.find("tk_converter::ctor"), std::string::npos);
    EXPECT_NE(log.find("tk_converter::store_profile"), std::string::npos);
}

} // namespace
