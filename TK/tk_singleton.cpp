#include "tk_singleton.h"

void tk_singl::end_process_on_failed_check(int line) noexcept
{
    const std::string text = tk_assertion_code(source, line);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    std::terminate();
}
