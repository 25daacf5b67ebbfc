#pragma once
// Single-use wrappers of the Open and Save dialogs: construct, show, read the chosen name.
// The dialog opens in the folder of the initial name with its base name (no extension) in the
// name box. The Save dialog appends its default extension unless the chosen name contains it.
#include "plat_file_dialog.h"
#include "plat_gui_constants.h"
#include "plat_window.h"

#include <string>

// The dialog's texts; the caller owns them for the dialog's life. `filter` is the list of
// description and pattern pairs, each text ended by a NUL, the list by one more.
struct file_dialog_texts {
    const char* filter;
    const char* title;
};

class file_dialog {
public:
    file_dialog(plat::hwnd owner, const file_dialog_texts* texts, const std::string& name);
    file_dialog(const file_dialog&) = delete;
    file_dialog& operator=(const file_dialog&) = delete;

    // Runs the dialog modally; true when the user chose a file.
    virtual bool show() = 0;
    // The chosen name; meaningful after show returned true.
    std::string get_file_name() const;
    // After show returned false: a name that the user chose but that does not fit the
    // program's name buffer (the Save dialog's with its default extension), so that no file
    // can be made of it; empty after Cancel.
    std::string get_too_long_name() const;

    plat::open_file_name ofn;
    char file_name[plat::MAX_PATH];
    char initial_dir[plat::MAX_PATH];

protected:
    ~file_dialog() = default;

    std::string too_long_name;
};

class open_file_dialog : public file_dialog {
public:
    open_file_dialog(plat::hwnd owner, const file_dialog_texts* texts, const std::string& name);
    bool show() override;
};

class save_file_dialog : public file_dialog {
public:
    // `ext` with or without its leading "."; null is an internal error.
    save_file_dialog(plat::hwnd owner, const file_dialog_texts* texts, const std::string& name, const char* ext);
    bool show() override;

    std::string def_ext;
};
