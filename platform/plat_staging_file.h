#pragma once
// A file to stage bytes in before they go where they belong: unnamed, so that no other
// process sees or opens it, and removed by the system when it is closed, a crash included.
#include <string>

namespace plat {

// Makes such a file, open for reading and writing, in the folder of the file that `near`
// names (its text is then on that file's disk), or in the temporary folder ($TMPDIR when
// it is an absolute path, else /tmp) where that folder can't take one (no write access,
// a file system without unnamed files). Gives the descriptor, or -1 with errno set to
// why the temporary folder could not take it either.
int open_staging_file(const std::string& near);

} // namespace plat
