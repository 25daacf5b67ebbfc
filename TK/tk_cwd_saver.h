#pragma once
// tk_cwd_saver: enters a folder for the life of the guard, then goes back.
// The current directory belongs to the whole process: every thread sees the change.
#include <string>

class tk_cwd_saver {
public:
    // Remembers the current directory and enters `dir`, or the program's folder when
    // `dir` is empty. Nothing is entered when the current directory cannot be read.
    explicit tk_cwd_saver(const std::string& dir);
    ~tk_cwd_saver();
    tk_cwd_saver(const tk_cwd_saver&) = delete;
    tk_cwd_saver& operator=(const tk_cwd_saver&) = delete;

    // True while the guard has entered `dir` and will go back to `saved_dir`.
    bool changed = true;
    std::string saved_dir;
};
