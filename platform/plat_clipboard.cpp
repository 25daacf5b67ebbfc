#include "plat_clipboard.h"

#include "plat_error.h"
#include "plat_process.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace plat {

namespace {

std::mutex state_lock;
bool is_open = false;
clipboard_writer fallback = nullptr;

bool has_env(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// The keeper that can reach this session's clipboard: its program and arguments.
struct keeper {
    std::string program;
    std::vector<std::string> arguments;
};

keeper find_keeper()
{
    if (has_env("WAYLAND_DISPLAY")) {
        const std::string program = find_program("wl-copy");
        if (!program.empty())
            return {program, {}};
    }
    if (has_env("DISPLAY")) {
        const std::string program = find_program("xclip");
        if (!program.empty())
            return {program, {"-selection", "clipboard"}};
    }
    return {};
}

} // namespace

bool open_clipboard()
{
    std::lock_guard<std::mutex> guard(state_lock);
    if (is_open) {
        set_last_error(EBUSY);
        return false;
    }
    if (find_keeper().program.empty() && fallback == nullptr) {
        set_last_error(ENXIO);
        return false;
    }
    is_open = true;
    return true;
}

bool empty_clipboard()
{
    std::lock_guard<std::mutex> guard(state_lock);
    return is_open;
}

bool set_clipboard_text(const std::string& text)
{
    clipboard_writer writer = nullptr;
    {
        std::lock_guard<std::mutex> guard(state_lock);
        if (!is_open)
            return false;
        writer = fallback;
    }
    const keeper found = find_keeper();
    if (!found.program.empty())
        return run_with_input(found.program, found.arguments, text) == 0;
    return writer != nullptr && writer(text);
}

bool close_clipboard()
{
    std::lock_guard<std::mutex> guard(state_lock);
    const bool was_open = is_open;
    is_open = false;
    return was_open;
}

void set_clipboard_fallback(clipboard_writer writer)
{
    std::lock_guard<std::mutex> guard(state_lock);
    fallback = writer;
}

} // namespace plat
