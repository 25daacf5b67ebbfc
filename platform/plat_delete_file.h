#pragma once
// Deleting a file by name (the system's DeleteFileA).
#include <string>

namespace plat {

// Removes the file `name`; false, with the thread's last error set, when it can't be removed.
// A folder is not a file and is never removed.
bool delete_file(const std::string& name);

} // namespace plat
