#pragma once
// Opening a file only when it is a regular file, for code that reads names it does not
// control: a FIFO would block the open or the read, a device could answer with bytes
// without end or act on being opened.
#include <cstddef>
#include <string>
#include <sys/stat.h>

namespace plat {

// Opens `name` (links followed) with `flags` when it is a regular file; `status` receives
// what was opened. The name is checked before it is opened, so no device or FIFO is
// opened at all; O_NONBLOCK and a second check of the open file cover a file that is
// swapped meanwhile. Gives the descriptor, or -1 with errno set: the error of the look-up
// or the open, EISDIR for a folder, EINVAL for any other kind of file.
int open_regular_file(const std::string& name, int flags, struct stat& status);

// Reads the whole of `name` into `bytes` when it is a regular file (as above) of at most
// `limit` bytes. Gives 0, or the error with `bytes` empty: those of open_regular_file,
// EFBIG for a bigger file (also one that grows past the limit while it is read), or the
// error of the read. A bigger file is never read into memory.
int read_regular_file(const std::string& name, std::size_t limit, std::string& bytes);

// The same for the entry `name` of the folder `folder` (a descriptor; O_PATH will do), which
// is not followed when it is a link (ELOOP then).
int open_regular_entry(int folder, const std::string& name, int flags, struct stat& status);
int read_regular_entry(int folder, const std::string& name, std::size_t limit, std::string& bytes);

} // namespace plat
