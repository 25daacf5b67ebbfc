#pragma once
// Whether a file could be opened for writing, told before anything is opened or made, so
// that a long piece of work that ends in writing it can be refused before it starts.
#include <string>

namespace plat {

// 0 when opening `name` for writing (created when missing, emptied when it exists) would
// succeed as far as the names and modes tell now; else the error code that the opening
// would give: EISDIR for a folder, EACCES or EROFS for a file or a folder the user may not
// write, ENOENT or ENOTDIR for a folder that is missing on the way, ELOOP for a loop of
// links. A missing file is judged where it would be made: a link that leads nowhere makes
// the file it names. Nothing is opened, so a FIFO or a device is not woken.
int open_for_writing_error(const std::string& name);

} // namespace plat
