#pragma once
// Whether the calling user may make files in a folder.
#include <string>

namespace plat {

// True when `folder` exists and the user may create files in it (write and search access).
bool can_create_in(const std::string& folder);

} // namespace plat
