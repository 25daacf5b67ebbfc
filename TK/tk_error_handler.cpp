#include "tk_error_handler.h"

#include "tk_log.h"
#include "tk_thread.h"

#include <algorithm>

namespace {

// An exception that escaped a worker's work object arrives here as an internal error.
void report_escaped_exception(const tk_exception& e)
{
    if (error_handler::has_instance())
        error_handler::instance()->handle(e, true);
}

} // namespace

error_handler::error_handler()
{
    tk_set_internal_error_reporter(report_escaped_exception);
    tk_log(2, "error_handler::empty ctor");
}

error_handler::~error_handler() { tk_set_internal_error_reporter(nullptr); }

std::string error_handler::report_text(const tk_exception& e) const
{
    std::string text;
    if (!prefix.empty())
        text = prefix + ": ";
    const std::string stored = converter.convert(static_cast<unsigned>(e.code));
    text += stored.empty() ? std::string(e.what()) : stored;
    tk_log(3, "Error:\n%s", text.c_str());
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}
