#pragma once
// The diagnostic log: one record per call, appended to the file named by the one
// tk_log_settings object. Neither program creates that object, so by default the
// log writes nothing and each call costs one pointer test.
#include "tk_singleton.h"

#include <string>

class tk_log_settings : public tk_singleton<tk_log_settings> {
public:
    explicit tk_log_settings(std::string file = std::string(), int threshold_ = 0, bool line_end = true,
                             bool enable = true, bool stamp = false)
        : file_name(std::move(file)), threshold(threshold_), add_line_end(line_end), enabled(enable),
          time_stamp(stamp)
    {
    }

    std::string file_name;
    int threshold;
    bool add_line_end;
    bool enabled;
    bool reset_done = false;
    bool time_stamp;
};

// Formats and appends one record; returns at once when no settings object is registered.
void tk_log(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The same for a wide format, written as UTF-8. In its format "%s" and "%c" take
// wide-character arguments.
void tk_log_w(int level, const wchar_t* format, ...);

// Empties the log file at its first use while the log is enabled.
void tk_log_reset(tk_log_settings& settings);
