#pragma once
// Performing a verb of the desktop on a file (the system's ShellExecuteA).
#include "plat_window.h"

#include <string>

namespace plat {

// The verb "open" (or none) hands the file to the application that the desktop associates
// with it. Surrounding double quotes are dropped and a relative name is taken against the
// current directory. The parameters and the working folder are not used by "open"; any
// other verb is refused. True when the desktop took the request.
bool shell_execute(hwnd owner, const std::string& verb, const std::string& file, const std::string& parameters,
                   const std::string& directory, int show_command);

} // namespace plat
