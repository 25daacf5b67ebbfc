#pragma once
// What each program's front end supplies to the engine's conversion run. The console
// program links the builds in quillet/console, the wizard its own:
// - the constructor of init_conversion (the wizard's also starts its progress timer);
// - error_handler::handle (TK/tk_error_handler.h), the presentation of a report;
// - report_run_failure, the run's handler of a failure outside the tk_exception family.
#include <atomic>
#include <exception>

// Brackets one conversion run: logs its start and end, and marks the converter finished
// when the run has ended, after its error handling.
class init_conversion {
public:
    // Front end's. `no_com` is kept for the record: this platform has no COM to set up.
    init_conversion(std::atomic<bool>* finished_flag, int no_com_flag);
    // Common: logs the end and sets the finished flag.
    ~init_conversion();
    init_conversion(const init_conversion&) = delete;
    init_conversion& operator=(const init_conversion&) = delete;

    // Logs a milestone line, `format` taking the local day, month, year, hour, minute, second.
    static void log_local_time(const char* format);

    int no_com;
    std::atomic<bool>* finished;
};

// Reports a standard exception (exhausted memory, say) that ended a run. It counts as
// a failure: the console build ends the process with exit code -1.
void report_run_failure(const std::exception& e);
