// The console program's presentation of the error handler: reports go to the standard
// output stream; errors of level 1 and 2 end the process with exit code -1, level 0
// returns. Nothing is thrown: `top_level` only reaches the log.
#include "message_table.h"
#include "tk_error_handler.h"
#include "tk_log.h"

#include <cstdio>
#include <cstdlib>

void error_handler::handle(const tk_exception& e, bool top_level)
{
    tk_log(2, "error_handler::handle('%s',top_level=%d)", e.what(), top_level ? 1 : 0);
    if (e.level == 2) {
        tk_log(3, "Internal error:\n%s", e.what());
        std::printf("%s%s\n", msg::report_internal_error, e.what());
        std::fflush(stdout);
        std::exit(-1);
    }
    const std::string text = report_text(e);
    if (!quiet) {
        std::printf("%s\n", msg::report_error_head);
        std::fflush(stdout);
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
    if (e.level == 1) {
        tk_log(1, "Got 1-level error");
        std::exit(-1);
    }
    tk_log(1, "Got 0-level error");
}
