#pragma once
// The clipboard. A selection on this desktop lives only as long as the program that owns
// it, so the text is handed to a keeper that goes on serving it after this process has
// ended: xclip on X11, wl-copy on Wayland; where neither is there, the user interface's own
// clipboard (a fallback that the GUI layer installs).
#include <string>

namespace plat {

// Opens the clipboard for this thread; false, with the last error set, when it is open
// already or no clipboard can be reached.
bool open_clipboard();
bool empty_clipboard();
// Puts the text on the open clipboard; false when the keeper refused it.
bool set_clipboard_text(const std::string& text);
bool close_clipboard();

// The clipboard of the user interface, used when no keeper program can be reached.
using clipboard_writer = bool (*)(const std::string& text);
void set_clipboard_fallback(clipboard_writer writer);

} // namespace plat
