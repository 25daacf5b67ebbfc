#pragma once
// The process's one sink for reported failures: it composes a one-line report of an
// exception and presents it by the exception's level (0 may go on, 1 ends the operation,
// 2 is an internal error that ends the process with exit code -1).
//
// The report text and the data are common; the presentation is the front end's: each
// program links the definition of `handle` of its own front end (the console's reports on
// the standard streams, the wizard's in its boxes and dialogs).
#include "tk_error_converter.h"
#include "tk_exception.h"
#include "tk_singleton.h"

#include <cstdint>
#include <map>
#include <string>

class error_handler : public tk_singleton<error_handler> {
public:
    error_handler();
    ~error_handler() override;

    // Reports `e` by its level. `top_level` false: the caller is nested inside an
    // operation that an outer catch ends (the wizard then throws tk_final_exception).
    void handle(const tk_exception& e, bool top_level);

    // The report of a level-0 or level-1 error: the prefix and ": " when there is one,
    // then the converter's text for the code or else the exception's own, each line feed
    // turned into a blank.
    std::string report_text(const tk_exception& e) const;

    std::string prefix;
    // Once true (the user asked not to see the continue dialog again), stays true.
    bool quiet = false;
    std::map<std::int32_t, std::int32_t> help_topics;
    tk_error_converter converter;
};
