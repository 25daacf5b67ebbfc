#include "tk_file_probes.h"

#include "plat_path.h"
#include "tk_cwd_saver.h"
#include "tk_log.h"

bool tk_is_path_exist(const std::string& path)
{
    tk_log(1, "tk_is_path_exist(%s)", path.c_str());
    return tk_cwd_saver(path).changed;
}

bool tk_is_file_exist(const std::string& name, int mode)
{
    tk_log(1, "tk_is_file_exist(%s)", name.c_str());
    if (!plat::open_probe(name, mode == tk_probe_write)) {
        tk_log(1, "File not exists!");
        return false;
    }
    return true;
}
