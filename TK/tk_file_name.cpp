#include "tk_file_name.h"

#include "message_table.h"
#include "plat_error.h"
#include "plat_path.h"
#include "tk_exception.h"
#include "tk_folders.h"
#include "tk_log.h"

#include <cerrno>

namespace {

constexpr const char* source = "tk_fname";

// The sizes of the buffers the parts are split into, terminator included.
constexpr std::size_t drive_buffer = 3;
constexpr std::size_t part_buffer = 256;

[[noreturn]] void refuse_too_long() { throw tk_exception(msg::path_too_long, 1); }

} // namespace

tk_file_name::tk_file_name(const std::string& name) { split(name.c_str()); }

tk_file_name::tk_file_name(const char* name) { split(name); }

void tk_file_name::split(const char* given)
{
    tk_verify(given != nullptr, source, 31);
    tk_log(1, "tk_file_name::ctor(%s)", given);

    std::string path;
    if (*given == '\0') {
        path = tk_get_module_file_name();
    } else if (!plat::full_path(given, path)) {
        if (plat::last_error() == ENAMETOOLONG)
            refuse_too_long();
        throw tk_exception_ex();
    }

    std::string split_name;
    plat::split_path(path, drive, dir, split_name, ext);
    if (drive.size() >= drive_buffer || dir.size() >= part_buffer || split_name.size() >= part_buffer
        || ext.size() >= part_buffer)
        refuse_too_long();
    // The program's own name is not kept: an empty name stands for the program's folder.
    if (*given != '\0')
        name = split_name;
}

std::string tk_file_name::get_folder() const { return drive + dir; }

void tk_file_name::set_ext(const std::string& extension)
{
    if (extension.empty() || extension.front() == '.')
        ext = extension;
    else
        ext = "." + extension;
}

std::string tk_file_name::get_full_name() const
{
    std::string joined;
    if (!plat::make_path(drive, dir, name, ext, joined))
        refuse_too_long();
    return joined;
}

std::string tk_file_name::path_without_drive() const { return dir + name + ext; }
