#pragma once
// Probes: can a folder be entered, can a file be opened now. They never throw.
#include <string>

// Modes of tk_is_file_exist: 1 asks for read and write access, any other value for read access.
inline constexpr int tk_probe_write = 1;
inline constexpr int tk_probe_read = 0x4000;

// True when the folder `path` can be entered (an empty path: the program's folder);
// the current directory is the same afterwards.
bool tk_is_path_exist(const std::string& path);

// True when `name` is a file that can be opened now with the access `mode` asks for.
bool tk_is_file_exist(const std::string& name, int mode);
