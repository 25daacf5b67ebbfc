#include "tk_folders.h"

#include "plat_error.h"
#include "plat_path.h"
#include "tk_exception.h"
#include "tk_file_name.h"
#include "tk_log.h"

namespace {

constexpr const char* source = "tk_utils";

// Asks the shell for a folder; a path that does not fit the system's path buffer is
// given as empty, as the shell gives it. Logs the failure or the path found.
std::string special_folder(int csidl, const char* found_format)
{
    std::string path;
    if (plat::special_folder(csidl, path) != 0) {
        tk_log(2, "SHGetSpecialFolderLocation error: %08X", static_cast<unsigned>(plat::last_error()));
        return std::string();
    }
    if (path.size() >= plat::max_path)
        path.clear();
    tk_log(2, found_format, path.c_str());
    return path;
}

} // namespace

std::string tk_get_module_file_name()
{
    std::string name = plat::module_file_name();
    tk_verify(!name.empty(), source, 203);
    return name;
}

std::string tk_get_module_dir() { return tk_file_name(tk_get_module_file_name()).get_folder(); }

std::string tk_get_appdata_path() { return special_folder(plat::csidl_local_appdata, "Gor appdata path: %s"); }

std::string tk_get_user_home_path()
{
    tk_log(1, "tk_get_user_home_path");
    return special_folder(plat::csidl_personal, "Gor user's home: %s");
}

std::string tk_get_user_profile_path()
{
    tk_log(1, "tk_get_user_profile_path");
    return special_folder(plat::csidl_profile, "Got user's home folder: %s");
}
