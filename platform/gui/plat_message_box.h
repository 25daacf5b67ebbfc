#pragma once
// Message boxes: an icon, the text, the caption, OK or Yes and No, modal over the owner.
#include "plat_window.h"

#include <string>

namespace plat {

// Shows the box and returns the button pressed (IDOK, IDYES, IDNO); 0 when no box could be
// shown: without a user-interface thread the text goes to the standard error stream instead,
// and a caller on another thread released by a stop request gets 0 and nothing is shown.
int message_box(hwnd owner, const std::string& text, const std::string& caption, unsigned style);

} // namespace plat
