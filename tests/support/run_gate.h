#pragma once
// Holds a conversion run between pages until the test lets it go on, so that a test sees the
// run at the page it chooses however fast the machine converts. Installed as the converter's
// hook before each page (`converter.before_page_for_tests = gate.hook()`), it waits on the
// run's thread. A stop request to that thread (the wizard closing, terminate) ends any hold,
// so a test that fails half way never leaves the run waiting.
//
// Neither side waits for good: a test waiting for a hold that never comes fails after
// hold_wait, and a run held for longer than longest_hold (nobody lets it go on, nobody
// stops it) ends the test program with a message, instead of hanging until ctest's timeout.
#include "tk_thread.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <string>

namespace test_support {

class run_gate {
public:
    // The hook for the converter; the gate must outlive the run.
    std::function<void(std::uint32_t)> hook()
    {
        return [this](std::uint32_t pages_done) { wait_before_page(pages_done); };
    }

    // Lets the run go on until `pages` pages are done; it then waits before the next.
    void allow(std::uint32_t pages)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            allowed = pages;
        }
        changed.notify_all();
    }
    void allow_all() { allow(std::numeric_limits<std::uint32_t>::max()); }

    // A healthy run reaches its page in milliseconds, also under the sanitizers.
    static constexpr std::chrono::seconds hold_wait {10};
    // Far longer than any test drives a held run (each of its steps has a deadline of its own).
    static constexpr std::chrono::seconds longest_hold {120};

    // Waits (on the test's thread) until the run holds with `pages` pages done. When it does
    // not hold there within `wait`, throws, which fails the test; the message also goes to the
    // error stream, since the test may be capturing the standard output.
    void wait_until_held_at(std::uint32_t pages, std::chrono::milliseconds wait = hold_wait)
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (changed.wait_for(lock, wait, [&] { return held_at == pages; }))
            return;
        const std::string message = "run_gate: the run did not hold with " + std::to_string(pages)
                                    + " pages done within " + std::to_string(wait.count()) + " ms"
                                    + (held_at == none ? std::string(" (it holds nowhere)")
                                                       : " (it holds with " + std::to_string(held_at) + " done)");
        std::fprintf(stderr, "%s\n", message.c_str());
        throw std::runtime_error(message);
    }

private:
    void wait_before_page(std::uint32_t pages_done)
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (pages_done < allowed)
            return;
        held_at = pages_done;
        changed.notify_all();
        // A stop request does not wake the wait: it is looked at every few milliseconds.
        const auto deadline = std::chrono::steady_clock::now() + longest_hold;
        while (pages_done >= allowed && !tk_stop_requested_on_this_thread()) {
            if (std::chrono::steady_clock::now() >= deadline) {
                std::fprintf(stderr, "run_gate: the run was held with %u pages done for %lld s; nobody let it go on\n",
                             static_cast<unsigned>(pages_done), static_cast<long long>(longest_hold.count()));
                std::abort();
            }
            changed.wait_for(lock, std::chrono::milliseconds(5));
        }
        held_at = none;
    }

    static constexpr std::uint32_t none = std::numeric_limits<std::uint32_t>::max();
    std::mutex mutex;
    std::condition_variable changed;
    std::uint32_t allowed = 0;
    std::uint32_t held_at = none;
};

} // namespace test_support
