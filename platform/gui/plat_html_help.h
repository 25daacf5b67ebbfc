#pragma once
// Help: the help file opened in an installed viewer of compiled help files, at a topic
// (HH_HELP_CONTEXT with the context number) or at its default page (HH_DISPLAY_TOPIC). The
// viewer runs detached from the program. Without a viewer nothing happens.
#include "plat_window.h"

#include <cstdint>
#include <string>

namespace plat {

// The viewer program, looked up on the PATH.
inline constexpr const char* help_viewer = "xchm";

// Returns whether a viewer was started.
bool html_help(hwnd caller, const std::string& file, unsigned command, std::uintptr_t data);

// The desktop window: the owner of windows that belong to no window of the program.
inline hwnd get_desktop_window() { return nullptr; }

} // namespace plat
