#pragma once
// The Open and Save file dialogs, driven by a parameter block as the system's are: a
// filter list of description and pattern pairs (each text ended by a NUL, the list by one
// more), a file-name buffer preset with the initial name and holding the chosen name
// afterwards, the folder to open in, the title and flags.
#include "plat_window.h"

#include <string>

namespace plat {

struct open_file_name {
    hwnd owner = nullptr;
    const char* filter = nullptr;
    char* file = nullptr;         // the file-name buffer
    unsigned max_file = 0;        // its capacity in bytes
    const char* initial_dir = nullptr;
    const char* title = nullptr;
    unsigned flags = 0;           // OFN_FILEMUSTEXIST: only existing files are accepted
    // Set by the dialog: a chosen name that can't be handed over, as it does not fit the
    // buffer (which then stays as it was) or a new name is longer than the system allows;
    // empty otherwise.
    std::string too_long;
};

// Run modally; true when the user chose a file (its full name is then in `file`), false
// after Cancel, the close box, or a chosen name that is too long (it is then in `too_long`).
// The Save dialog asks nothing about overwriting and adds no extension of its own.
bool get_open_file_name(open_file_name& block);
bool get_save_file_name(open_file_name& block);

} // namespace plat
