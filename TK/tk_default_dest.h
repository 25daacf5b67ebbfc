#pragma once
// The proposed name of a destination file.
#include <string>

// `new_name` with the extension `ext` in the folder of `old_name`; beside the user's
// documents folder when `old_name` is empty (in the program's folder when that is not
// found); `new_name` itself when `keep` is set.
std::string common_make_dest(const std::string& old_name, const std::string& new_name, const std::string& ext,
                             bool keep);
