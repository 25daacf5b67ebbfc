#pragma once
// The file that holds one settings key: read without a lock (it is only ever replaced
// whole), changed under an inter-process lock by writing a new file and renaming it over
// the old one, so readers and a crash see the old or the new contents, never a torn file.
//
// Only a regular file of at most max_size bytes (a link that leads to one is followed)
// holds values. Anything else at the path (a FIFO, a device, a folder, a huge file) reads
// as no values without being read; the next store puts a regular file in its place, except
// over a folder, which stays and fails the store. A link on the way that the system's link
// protection refuses is not followed, whatever the machine's setting: the file then can't be
// read or stored (EACCES), as with the protection on (plat_follow_links.h).
#include "plat_follow_links.h"
#include "plat_registry_format.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace plat {

class settings_file {
public:
    // Settings are a few hundred bytes; a bigger file is not a settings file.
    static constexpr std::size_t max_size = 1 << 20;
    // How long a store waits for another program's store before it gives up.
    static constexpr std::chrono::milliseconds default_lock_wait {10000};

    // `path` is the file; `key_name` is written into it as a reminder of the key it holds.
    settings_file(std::string path, std::string key_name, std::chrono::milliseconds lock_wait = default_lock_wait);

    // Reads and parses the file as it is now; when it is missing, makes the folders and an
    // empty file first. `created` tells which. A file that holds no values (above) reads as
    // empty and gives 0; any other failure to read gives its error code. Lines that do not
    // parse are no values. With `for_writing`, a regular file at the path (not a link) of
    // another mode gets mode 0600, as a store would leave it, since it may hold a password;
    // a file the user does not own keeps its mode until a store replaces it.
    int open(reg_file_contents& contents, bool& created, bool for_writing = false) const;

    // Whether a file that holds only `value` stays within max_size: a value that fails
    // this can never be stored.
    bool can_ever_hold(const reg_value& value) const;

    // Under the lock: reads the current contents, applies `change` and writes the result
    // (mode 0600), unless it is the file as it stands. On any failure, also a lock not
    // taken within the lock wait or a result of more than max_size bytes, the old file
    // stays as it was and the error code is given.
    int update(const std::function<void(reg_file_contents&)>& change) const;

private:
    // The file's bytes; none when it is missing (`missing` set) or holds no values.
    int read_bytes(std::string& bytes, bool& missing) const;
    int read_file(reg_file_contents& contents, bool& missing) const;
    int find_key(path_end& key) const;
    void make_private() const;
    int replace(const path_end& key, const std::string& bytes) const;

    std::string path;
    std::string key_name;
    std::chrono::milliseconds lock_wait;
};

} // namespace plat
