#pragma once
// The base of every converter: a work object with the source, destination and log file
// names, a finished flag, and the export of the names to a settings profile.
#include "tk_profile.h"
#include "tk_thread.h"

#include <atomic>
#include <string>

class tk_converter : public tk_thread_functor {
public:
    tk_converter();
    ~tk_converter() override;

    // Sets "src", "dest" and "logfile" in the section "Generic settings"; true.
    bool store_profile(tk_profile& profile);

    // Set when a conversion run has ended, successful or not. Written on the worker and
    // read on the user-interface thread: the run's error reports are complete before it
    // is set, so readers load it with acquire (or the default) ordering.
    std::atomic<bool> finished {false};
    std::string src;
    std::string dest;
    // Set by nothing in this system; profiles carry it empty.
    std::string logfile;
};
