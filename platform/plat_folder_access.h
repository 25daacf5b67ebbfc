#pragma once
// Whether the calling user may make files in a folder.
#include <string>

namespace plat {

// 0 when `folder` exists and the user may create files in it (write and search access),
// else the system's error code for why not (no access, a read-only file system, ...).
int create_access_error(const std::string& folder);

// True when `folder` exists and the user may create files in it.
inline bool can_create_in(const std::string& folder) { return create_access_error(folder) == 0; }

} // namespace plat
