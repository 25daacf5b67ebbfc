#include "tk_cwd_saver.h"

#include "plat_path.h"
#include "tk_folders.h"

tk_cwd_saver::tk_cwd_saver(const std::string& dir)
{
    const std::string target = dir.empty() ? tk_get_module_dir() : dir;
    if (!plat::get_cwd(saved_dir)) {
        changed = false;
        return;
    }
    changed = plat::change_dir(target);
}

tk_cwd_saver::~tk_cwd_saver()
{
    if (changed)
        plat::change_dir(saved_dir);
}
