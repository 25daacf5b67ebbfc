#pragma once
// Where a path leads through symbolic links of its last component, for code that must
// judge the file a name would write before it writes it.
#include <string>

namespace plat {

// The folder part of `path` with its trailing separator; empty for a bare name.
std::string folder_part(const std::string& path);

// The file that `path` leads to through links of its last component: `path` itself when
// that is no link or is missing, else the end of the chain of links (which may be
// missing too). Gives 0 or the error of the look-up (ELOOP past as many links as the
// system follows).
int follow_links(std::string& path);

} // namespace plat
