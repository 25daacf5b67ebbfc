#pragma once
// What can stand at a path that a program reads at start-up instead of the small text file
// it expects there: a reader that opens a FIFO waits for a writer that never comes, and
// one that reads a device without end or a huge file runs out of memory.
#include "test_support.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace test_support {

struct odd_file {
    const char* name;
    // Makes the thing at `path`; `text` is what the huge file begins with.
    void (*make)(const std::filesystem::path& path, const std::string& text);
};

inline constexpr odd_file odd_files[] = {
    {"FIFO", [](const std::filesystem::path& path, const std::string&) { mkfifo(path.c_str(), 0600); }},
    {"link to /dev/zero",
     [](const std::filesystem::path& path, const std::string&) { std::filesystem::create_symlink("/dev/zero", path); }},
    {"sparse file of 1.5 GB",
     [](const std::filesystem::path& path, const std::string& text) {
         write_file(path.string(), text);
         std::filesystem::resize_file(path, std::uintmax_t {1536} << 20);
     }},
};

} // namespace test_support
