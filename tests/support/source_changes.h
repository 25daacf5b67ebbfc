#pragma once
// What another program may do to a source document while a run converts it, for the tests
// that change the source during a held run. The source is a copy of five_pages.pdf
// (tests/fixtures) dated in the past, so that a write of the same size still shows in its
// modification time however fast the machine is.
#include "test_support.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace test_support {

// Writes `bytes` at `path` and dates the file to 2001, so that a later write is seen.
inline void write_dated_source(const std::string& path, const std::string& bytes)
{
    write_file(path, bytes);
    const timespec long_ago[2] = {{978307200, 0}, {978307200, 0}};
    if (utimensat(AT_FDCWD, path.c_str(), long_ago, 0) != 0)
        throw std::runtime_error("utimensat failed on " + path);
}

// `bytes` with every occurrence of `from` replaced by `to`, which has its length.
inline std::string same_length_edit(std::string bytes, const std::string& from, const std::string& to)
{
    for (std::size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + to.size()))
        bytes.replace(at, from.size(), to);
    return bytes;
}

inline void overwrite_at(const std::string& path, off_t offset, const std::string& bytes)
{
    const int fd = open(path.c_str(), O_WRONLY);
    const bool written = fd >= 0 && pwrite(fd, bytes.data(), bytes.size(), offset) == ssize_t(bytes.size());
    if (fd >= 0)
        close(fd);
    if (!written)
        throw std::runtime_error("cannot overwrite " + path);
}

struct source_change {
    const char* name;
    // Changes the source at `path`, whose bytes are `original`.
    void (*apply)(const std::string& path, const std::string& original);
    // Whether the run must fail; otherwise it converts the document it opened, whole.
    bool fails;
};

// Each change leaves a document that the library reads, with the later pages' words
// changed where it can, so that only the run's own look at the file tells the change.
inline const source_change source_changes[] = {
    {"rewritten in place with other words of the same length",
     [](const std::string& path, const std::string& original) {
         write_file(path, same_length_edit(same_length_edit(original, "Word delta", "Word DELTA"), "Word echo",
                                           "Word ECHO"));
     },
     true},
    {"partly overwritten",
     [](const std::string& path, const std::string& original) {
         overwrite_at(path, static_cast<off_t>(original.find("Word echo")), "Word ECHO");
     },
     true},
    {"cut short",
     [](const std::string& path, const std::string& original) {
         if (truncate(path.c_str(), static_cast<off_t>(original.size() / 2)) != 0)
             throw std::runtime_error("cannot truncate " + path);
     },
     true},
    {"appended to, as an incremental save does",
     [](const std::string& path, const std::string& original) { write_file(path, original + "\n% saved again\n"); },
     true},
    // The run reads the file it opened, which another program's rename leaves as it was.
    {"replaced by a rename",
     [](const std::string& path, const std::string& original) {
         const std::string other = path + ".new";
         write_file(other, same_length_edit(original, "Word echo", "Word ECHO"));
         std::filesystem::rename(other, path);
     },
     false},
};

} // namespace test_support
