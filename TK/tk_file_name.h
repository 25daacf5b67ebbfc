#pragma once
// tk_file_name: one path made full and split into drive, directory, name and extension.
#include <string>

class tk_file_name {
public:
    // Makes `name` full against the current directory and splits it; an empty name
    // stands for the program's own file, of which only the folder and extension are
    // kept. A name whose full path or parts do not fit the system's path buffers is
    // refused with a tk_exception of level 1.
    explicit tk_file_name(const std::string& name);
    explicit tk_file_name(const char* name);

    // drive + dir: the folder, ending with a separator for a split path.
    std::string get_folder() const;
    // Empty removes the extension; otherwise stored with one leading '.'.
    void set_ext(const std::string& extension);
    // The four parts joined; refused like the constructor when the result does not fit.
    std::string get_full_name() const;
    std::string path_without_drive() const;

    std::string ext;
    std::string drive;
    std::string name;
    std::string dir;

private:
    void split(const char* given);
};
