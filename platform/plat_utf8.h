#pragma once
// UTF-8 form of a wide text (UTF-32 on this platform).
#include <cstddef>
#include <string>

namespace plat {

// Code points that are not characters (surrogates, values above U+10FFFF) become U+FFFD.
std::string utf8_from_wide(const wchar_t* text, std::size_t length);

} // namespace plat
