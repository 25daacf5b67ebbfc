#include "tk_error_handler.h"

#include "tk_log.h"

#include <algorithm>

error_handler::error_handler() { tk_log(2, "error_handler::empty ctor"); }

error_handler::~error_handler() = default;

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
