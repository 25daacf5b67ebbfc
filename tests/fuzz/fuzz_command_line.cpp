// Fuzzes the console program's option walk: the input, split at zero bytes, is the
// argument list after the program's name. Each walk stores the last value of each
// option, hands "--pages=" to the converter and tells whether every argument was known.
#include "console_options.h"
#include "fuzz_support.h"
#include "quillet_convertor.h"
#include "tk_exception.h"

#include <cstring>
#include <vector>

namespace {

// The converter that "--pages=" values go to; it lives until the process ends.
void make_converter()
{
    static quillet_convertor* const instance = [] {
        fuzz_support::private_home();
        return new quillet_convertor;
    }();
    (void)instance;
}

std::vector<std::string> split_arguments(const std::string& input)
{
    std::vector<std::string> arguments;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = input.find('\0', start);
        arguments.push_back(input.substr(start, end - start));
        if (end == std::string::npos)
            return arguments;
        start = end + 1;
    }
}

bool starts_with(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    make_converter();
    std::vector<std::string> arguments = split_arguments(fuzz_support::as_text(data, size));
    // More than the iterator's 20 unrecognised arguments is its documented assertion.
    if (arguments.size() > 24)
        return -1;
    std::vector<const char*> argv {"QLTAGENT"};
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    argv.push_back(nullptr);

    cmd_src.clear();
    cmd_dest.clear();
    cmd_pswd.clear();
    bool all_known = false;
    try {
        all_known = parse_cmd_line(static_cast<int>(argv.size() - 1), argv.data());
    } catch (const tk_exception& e) {
        // An invalid range, or the assertion of a 21st unrecognised argument.
        if (e.level == 0)
            std::abort();
        return 0;
    }

    std::string last_src, last_dest, last_pswd;
    bool known = true;
    for (const std::string& argument : arguments) {
        if (starts_with(argument, "--src="))
            last_src = argument.substr(6);
        else if (starts_with(argument, "--dest="))
            last_dest = argument.substr(7);
        else if (starts_with(argument, "--pswd="))
            last_pswd = argument.substr(7);
        else if (!starts_with(argument, "--pages="))
            known = false;
    }
    if (all_known != known || cmd_src != last_src || cmd_dest != last_dest || cmd_pswd != last_pswd)
        std::abort();
    return 0;
}
