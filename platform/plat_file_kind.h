#pragma once
// What kind of thing a name leads to, found by looking it up: nothing is opened.
#include <string>

namespace plat {

// True when `name` leads (links followed) to something that exists and is neither a regular
// file nor a folder: a FIFO, a device or a socket. Opening such a thing to write blocks
// until a reader comes, or acts on the device.
bool is_special_file(const std::string& name);

} // namespace plat
