#pragma once
// Error codes to message texts, for the error handler's report.
#include <map>
#include <string>

class tk_error_converter {
public:
    tk_error_converter();

    // The text stored for `code`, or an empty string.
    std::string convert(unsigned code) const;

    std::map<unsigned, std::string> messages;
};
