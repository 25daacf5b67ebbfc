#pragma once
// Trimming blanks (the space character only) and cutting text at a separator.
#include <string>
#include <vector>

std::string tk_ltrim(const std::string& text);
std::string tk_rtrim(const std::string& text);
std::string tk_trim(const std::string& text);

// The pieces between occurrences of `separator`: k separators give k + 1 pieces, an
// empty text none. The text ends at its first NUL character.
std::vector<std::string> tk_split(const std::string& text, char separator);
