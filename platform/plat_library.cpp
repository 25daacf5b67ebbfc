#include "plat_library.h"

#include "plat_utf8.h"

#include <dlfcn.h>

#include <cwchar>
#include <string>
#include <vector>

namespace plat {

namespace {

std::string narrow_name(const wchar_t* name)
{
    return utf8_from_wide(name, std::wcslen(name));
}

bool is_common_controls_name(const wchar_t* name) { return ::wcscasecmp(name, L"comctl32.dll") == 0; }

// The controls module stays loaded once loaded, as in the program that links it: unloading it
// would unload the widget toolkit with it.
constexpr int module_flags = RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE;

// The module on the program's own library search path (its run path among it), looked up
// here rather than by the loader: a loader wrapped by an instrumented runtime searches on
// behalf of that runtime, not of the program.
library_handle open_on_program_path(const std::string& file)
{
    void* program = dlopen(nullptr, RTLD_NOW);
    if (program == nullptr)
        return nullptr;
    Dl_serinfo size {};
    library_handle found = nullptr;
    if (dlinfo(program, RTLD_DI_SERINFOSIZE, &size) == 0) {
        std::vector<char> buffer(size.dls_size);
        auto* info = reinterpret_cast<Dl_serinfo*>(buffer.data());
        info->dls_size = size.dls_size;
        info->dls_cnt = size.dls_cnt;
        if (dlinfo(program, RTLD_DI_SERINFO, info) == 0)
            for (unsigned i = 0; i < info->dls_cnt && found == nullptr; ++i)
                found = dlopen((std::string(info->dls_serpath[i].dls_name) + "/" + file).c_str(), module_flags);
    }
    dlclose(program);
    return found;
}

} // namespace

library_handle load_library(const wchar_t* name)
{
    if (name == nullptr)
        return nullptr;
    if (!is_common_controls_name(name))
        return dlopen(narrow_name(name).c_str(), RTLD_NOW | RTLD_LOCAL);
    library_handle module = dlopen(common_controls_module, module_flags);
    return module != nullptr ? module : open_on_program_path(common_controls_module);
}

void* get_proc_address(library_handle library, const char* name)
{
    if (library == nullptr)
        return nullptr;
    return dlsym(library, name);
}

void free_library(library_handle library)
{
    if (library != nullptr)
        dlclose(library);
}

} // namespace plat
