#include "g_file_dialogs.h"

#include "tk_cwd_saver.h"
#include "tk_exception.h"
#include "tk_file_name.h"

#include <cstring>

namespace g_f_dlg {
inline constexpr const char* source = "g_f_dlg";

// Copies `text` into a path buffer, cut to fit with its terminator.
void copy_to_buffer(char (&buffer)[plat::MAX_PATH], const std::string& text)
{
    const std::size_t length = std::min(text.size(), sizeof buffer - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}
} // namespace g_f_dlg

file_dialog::file_dialog(plat::hwnd owner, const file_dialog_texts* texts, const std::string& name)
{
    file_name[0] = '\0';
    initial_dir[0] = '\0';
    const tk_file_name split(name);
    ofn = plat::open_file_name();
    g_f_dlg::copy_to_buffer(file_name, split.name);
    g_f_dlg::copy_to_buffer(initial_dir, split.get_folder());
    ofn.owner = owner;
    ofn.filter = texts->filter;
    ofn.file = file_name;
    ofn.max_file = plat::MAX_PATH;
    ofn.initial_dir = initial_dir;
    ofn.title = texts->title;
}

std::string file_dialog::get_file_name() const { return std::string(file_name); }

std::string file_dialog::get_too_long_name() const { return too_long_name; }

open_file_dialog::open_file_dialog(plat::hwnd owner, const file_dialog_texts* texts, const std::string& name)
    : file_dialog(owner, texts, name)
{
    ofn.flags = plat::OFN_FILEMUSTEXIST;
}

bool open_file_dialog::show()
{
    const tk_cwd_saver saver{std::string(initial_dir)};
    const bool chosen = plat::get_open_file_name(ofn);
    too_long_name = ofn.too_long;
    return chosen;
}

save_file_dialog::save_file_dialog(plat::hwnd owner, const file_dialog_texts* texts, const std::string& name,
                                   const char* ext)
    : file_dialog(owner, texts, name)
{
    if (ext == nullptr)
        throw tk_mail_assertion(g_f_dlg::source, 95);
    def_ext = ext[0] == '.' ? std::string(ext) : std::string(".") + ext;
}

bool save_file_dialog::show()
{
    const tk_cwd_saver saver{std::string(initial_dir)};
    const bool chosen = plat::get_save_file_name(ofn);
    // The name as it would be saved, with the extension added as below.
    too_long_name = ofn.too_long;
    if (!too_long_name.empty() && too_long_name.find(def_ext) == std::string::npos)
        too_long_name += def_ext;
    if (chosen && std::strstr(file_name, def_ext.c_str()) == nullptr) {
        // A name that leaves no room for the extension is refused rather than cut.
        if (std::strlen(file_name) + def_ext.size() + 1 > sizeof file_name) {
            too_long_name = std::string(file_name) + def_ext;
            return false;
        }
        std::strcat(file_name, def_ext.c_str());
    }
    return chosen;
}
