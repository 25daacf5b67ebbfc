#pragma once
// The console program's options: what the command line gave for source, destination and
// password, and the walk that fills them.
#include <string>

// Empty until the command line gives them; the last occurrence of an option wins.
extern std::string cmd_src;
extern std::string cmd_dest;
extern std::string cmd_pswd;

// Walks the arguments after the program's name: stores "--src=", "--dest=" and "--pswd="
// values above and hands a "--pages=" value to the converter at once, so an invalid range
// throws from inside the walk. True when every argument was recognised.
bool parse_cmd_line(int argc, const char* const* argv);
