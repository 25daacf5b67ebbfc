#include "plat_library.h"

#include <dlfcn.h>

#include <cwctype>
#include <string>

namespace plat {

namespace {

std::string narrow_name(const wchar_t* name)
{
    std::string result;
    for (const wchar_t* p = name; *p != L'\0'; ++p) {
        const auto c = static_cast<std::uint32_t>(*p);
        if (c < 0x80) {
            result += static_cast<char>(c);
        } else if (c < 0x800) {
            result += static_cast<char>(0xC0 | (c >> 6));
            result += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            result += static_cast<char>(0xE0 | (c >> 12));
            result += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            result += static_cast<char>(0xF0 | (c >> 18));
            result += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            result += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return result;
}

bool is_common_controls_name(const wchar_t* name)
{
    static const wchar_t expected[] = L"comctl32.dll";
    std::size_t i = 0;
    for (; name[i] != L'\0' && expected[i] != L'\0'; ++i)
        if (std::towlower(static_cast<wint_t>(name[i])) != static_cast<wint_t>(expected[i]))
            return false;
    return name[i] == L'\0' && expected[i] == L'\0';
}

} // namespace

library_handle load_library(const wchar_t* name)
{
    if (name == nullptr)
        return nullptr;
    const std::string file = is_common_controls_name(name) ? std::string(common_controls_module) : narrow_name(name);
    return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
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
