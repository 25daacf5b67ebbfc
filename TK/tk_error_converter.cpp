#include "tk_error_converter.h"

#include "tk_log.h"

tk_error_converter::tk_error_converter() { tk_log(2, "tk_error_converter::empty ctor"); }

std::string tk_error_converter::convert(unsigned code) const
{
    tk_log(2, "tk_error_converter::convert(%d)", static_cast<int>(code));
    const auto found = messages.find(code);
    if (found == messages.end()) {
        tk_log(1, "Error message not found!");
        return std::string();
    }
    tk_log(1, "Error message has been found: %s", found->second.c_str());
    return found->second;
}
