#pragma once
// What can stand at a path that a program reads at start-up instead of the small text file
// it expects there: a reader that opens a FIFO waits for a writer that never comes, and
// one that reads a device without end or a huge file runs out of memory.
//
// Every maker checks that it made its thing and throws when it did not, so that a case
// never passes on a path where nothing odd stands.
#include "test_support.h"

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace test_support {

struct odd_file {
    const char* name;
    // Makes the thing at `path`; `text` is what the huge file begins with.
    void (*make)(const std::filesystem::path& path, const std::string& text);
};

inline constexpr odd_file odd_files[] = {
    {"FIFO",
     [](const std::filesystem::path& path, const std::string&) { make_fifo(path.string()); }},
    {"link to /dev/zero",
     [](const std::filesystem::path& path, const std::string&) { std::filesystem::create_symlink("/dev/zero", path); }},
    {"sparse file of 1.5 GB",
     [](const std::filesystem::path& path, const std::string& text) {
         write_file(path.string(), text);
         if (read_file(path.string()) != text)
             throw std::runtime_error("could not write " + path.string());
         std::filesystem::resize_file(path, std::uintmax_t {1536} << 20);
     }},
};

} // namespace test_support
