#pragma once
// System error codes and their texts (errno and strerror on this platform).
#include <string>

namespace plat {

// The calling thread's last system error.
int last_error();

// Sets the calling thread's last system error.
void set_last_error(int code);

// The system's text for an error code; false when the system has no text for it.
bool error_text(int code, std::string& text);

} // namespace plat
