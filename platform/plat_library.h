#pragma once
// Shared libraries loaded by name at run time, and the version record that a library
// reports through its exported "DllGetVersion".
#include <cstdint>

namespace plat {

// The version record handed to DllGetVersion; `size` is set by the caller (20).
struct dll_version_info {
    std::uint32_t size;
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t build;
    std::uint32_t platform_id;
};

// DllGetVersion's shape: a result below zero is a failure.
using dll_get_version_proc = std::int32_t (*)(dll_version_info*);

using library_handle = void*;

// The system's common-controls library, asked for by its usual name, is this layer's
// own controls module, a library of the project found through the program's run path.
inline constexpr const char* common_controls_module = "libqlt_comctl.so";

// Loads a library by name (a path, or a name looked up as the system does); null on
// failure. "comctl32.dll" in any case of letters stands for the controls module.
library_handle load_library(const wchar_t* name);
void* get_proc_address(library_handle library, const char* name);
void free_library(library_handle library);

} // namespace plat
