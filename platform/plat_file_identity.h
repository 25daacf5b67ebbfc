#pragma once
// Whether two names lead to one file (the same device and file number), whatever the
// spelling, links included.
#include <string>

namespace plat {

// True when both names exist and are one file.
bool same_file(const std::string& first, const std::string& second);

} // namespace plat
