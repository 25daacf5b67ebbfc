#pragma once
// Writing a whole buffer to a file descriptor, across short writes and interrupted calls.
#include <string>

namespace plat {

// Writes every byte of `bytes` to `fd`; 0 on success, else the error code of the write
// that failed (EIO when the system accepted no byte without naming an error).
int write_all(int fd, const std::string& bytes);

} // namespace plat
