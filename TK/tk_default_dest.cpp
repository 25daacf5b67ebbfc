#include "tk_default_dest.h"

#include "tk_file_name.h"
#include "tk_folders.h"
#include "tk_log.h"

namespace {

std::string renamed(tk_file_name file, const std::string& new_name, const std::string& ext)
{
    file.name = new_name;
    file.set_ext(ext);
    return file.get_full_name();
}

} // namespace

std::string common_make_dest(const std::string& old_name, const std::string& new_name, const std::string& ext,
                             bool keep)
{
    tk_log(1, "common_make_dest(%s,%s,%s,%d)", old_name.c_str(), new_name.c_str(), ext.c_str(), keep ? 1 : 0);
    if (keep)
        return new_name;
    // Every name made full is a local full path here, so any given name gives the folder.
    const tk_file_name old_file(old_name);
    if (!old_name.empty()) {
        tk_log(1, "old_name - is a full qualified file name");
        return renamed(old_file, new_name, ext);
    }
    // The documents folder has no trailing separator, so its own name is the part
    // replaced: the result lies beside it.
    return renamed(tk_file_name(tk_get_user_home_path()), new_name, ext);
}
