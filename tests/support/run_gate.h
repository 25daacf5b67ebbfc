#pragma once
// Holds a conversion run between pages until the test lets it go on, so that a test sees the
// run at the page it chooses however fast the machine converts. Installed as the converter's
// hook before each page (`converter.before_page_for_tests = gate.hook()`), it waits on the
// run's thread. A stop request to that thread (the wizard closing, terminate) ends any hold,
// so a test that fails half way never leaves the run waiting.
#include "tk_thread.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <limits>
#include <mutex>

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

    // Waits (on the test's thread) until the run holds with `pages` pages done.
    void wait_until_held_at(std::uint32_t pages)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return held_at == pages; });
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
        while (pages_done >= allowed && !tk_stop_requested_on_this_thread())
            changed.wait_for(lock, std::chrono::milliseconds(5));
        held_at = none;
    }

    static constexpr std::uint32_t none = std::numeric_limits<std::uint32_t>::max();
    std::mutex mutex;
    std::condition_variable changed;
    std::uint32_t allowed = 0;
    std::uint32_t held_at = none;
};

} // namespace test_support
