#pragma once
// The file that holds one settings key: read without a lock (it is only ever replaced
// whole), changed under an inter-process lock by writing a new file and renaming it over
// the old one, so readers and a crash see the old or the new contents, never a torn file.
#include "plat_registry_format.h"

#include <functional>
#include <string>

namespace plat {

class settings_file {
public:
    // `path` is the file; `key_name` is written into it as a reminder of the key it holds.
    settings_file(std::string path, std::string key_name);

    bool exists() const;

    // Reads and parses the file. A missing file reads as empty and gives 0; any other
    // failure to read gives its error code. Lines that do not parse are no values.
    int read(reg_file_contents& contents) const;

    // Makes the folders and, when it is missing, an empty file; `created` tells which.
    int create(bool& created) const;

    // Under the lock: reads the current contents, applies `change` and writes the result
    // (mode 0600). On any failure the old file stays as it was and the error code is given.
    int update(const std::function<void(reg_file_contents&)>& change) const;

private:
    int make_folders() const;
    int replace(const std::string& bytes) const;

    std::string path;
    std::string key_name;
};

} // namespace plat
