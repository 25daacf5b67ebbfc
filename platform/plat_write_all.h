#pragma once
// Writing a whole buffer, or the whole of a file, to a file descriptor, across short writes
// and interrupted calls.
#include <cstddef>
#include <string>

namespace plat {

// Writes every byte of `bytes` to `fd`; 0 on success, else the error code of the write
// that failed (EIO when the system accepted no byte without naming an error).
int write_all(int fd, const char* bytes, std::size_t size);
inline int write_all(int fd, const std::string& bytes) { return write_all(fd, bytes.data(), bytes.size()); }

// Writes everything that the file open as `from` holds, from its start, to `to`; 0 on
// success, else the error code of the read or write that failed.
int copy_all(int from, int to);

} // namespace plat
