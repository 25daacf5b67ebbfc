#pragma once
// The wizard's last page, in three layers on the page template:
//   gui_finish_page<Id>                 the result: the success text, or the error text with
//                                       the run's collected errors in a read-only box;
//   gui_finish_page_t<Converter, Id>    adds "Save Settings...", which exports the
//                                       converter's settings into a profile file and
//                                       tells when the file can't be written;
//   gui_finish_page_ex<Converter, Id>   adds "Open on exit" with its hint, and opens the
//                                       result with the desktop's viewer on Finish.
// Converter is the singleton converter class (instance, get_instance, dest, open_on_exit,
// store_profile). The page offers neither Back nor Cancel nor Help.
#include "g_file_dialogs.h"
#include "g_wizard_page.h"
#include "g_wizard_shell.h"
#include "message_table.h"
#include "plat_folder_access.h"
#include "plat_gui_constants.h"
#include "plat_path.h"
#include "plat_shell_execute.h"
#include "tk_exception.h"
#include "tk_file_probes.h"
#include "tk_folders.h"
#include "tk_log.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace g_finish {
inline constexpr const char* source = "..\\GUI2/g_finish";
// The extension of the settings profiles that "Save Settings..." writes.
inline constexpr const char* profile_ext = "qlp";

inline constexpr int title_id = 1313;
inline constexpr int result_id = 1314;
inline constexpr int errors_id = 1016;
inline constexpr int hint_id = 1320;
inline constexpr int open_on_exit_id = 1225;
inline constexpr int save_settings_id = 1116;

// One entry of the error box: its line feeds as blanks (carriage returns stay).
inline std::string error_entry(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// Appends `text` at the end of an edit control, as a user's typing at its end would.
inline void append_to_edit(plat::hwnd edit, const std::string& text)
{
    const auto length = static_cast<plat::wparam>(plat::send_message(edit, plat::WM_GETTEXTLENGTH, 0, 0));
    plat::send_message(edit, plat::EM_SETSEL, length, static_cast<plat::lparam>(length));
    plat::send_message(edit, plat::EM_SCROLLCARET, 0, 0);
    plat::send_message(edit, plat::EM_REPLACESEL, 0, reinterpret_cast<plat::lparam>(text.c_str()));
}

// The start name of the "Save Settings..." dialog: empty, for the program's own folder, when
// the user may make files there; otherwise the user's documents folder (the one that the
// default destination lies beside), where a profile can be saved, or the home folder when
// there is no documents folder.
inline std::string profile_start_name()
{
    if (plat::can_create_in(tk_get_module_dir()))
        return std::string();
    std::string folder = tk_get_user_home_path();
    if (folder.empty() || !tk_is_path_exist(folder))
        folder = tk_get_user_profile_path();
    return folder.empty() ? std::string() : folder + plat::separator;
}

// Tells that the profile `path` was not saved, and why.
inline void report_unsaved_profile(const std::string& path, const std::string& reason)
{
    wizard_shell::error(std::string(msg::profile_not_saved) + "\n" + path + "\n" + reason);
}

// The same with the system's text for its last error.
inline void report_unsaved_profile(const std::string& path)
{
    report_unsaved_profile(path, tk_exception_ex().what());
}
} // namespace g_finish

template <int Id>
class gui_finish_page : public wizard_page<Id, plat::PSWIZB_FINISH, plat::PSP_HIDEHEADER> {
public:
    gui_finish_page(const std::string& success, const std::string& error) : success_text(success), error_text(error)
    {
        this->title_font = nullptr;
        tk_log(2, "gui_finish_page::ctor");
    }

    bool ProcessWindowMessage(plat::hwnd window_, unsigned msg, plat::wparam w, plat::lparam l, plat::lresult& result,
                              unsigned map_id) override
    {
        if (map_id != 0)
            return false;
        if (msg == plat::WM_COMMAND && plat::loword(w) == g_finish::errors_id &&
            plat::hiword(w) == plat::EN_SETFOCUS) {
            result = on_eb_focus(reinterpret_cast<plat::hwnd>(l));
            return true;
        }
        return wizard_page_base::ProcessWindowMessage(window_, msg, w, l, result, map_id);
    }

    bool page_init() override
    {
        tk_log(2, "gui_finish_page::page_init");
        this->set_title_font(g_finish::title_id);
        wizard_shell* shell = wizard_shell::instance();
        shell->enable_button(plat::IDCANCEL, false);
        shell->enable_button(plat::IDHELP, false);

        const std::vector<std::string> errors = wizard_shell::instance()->error_list();
        if (errors.empty()) {
            tk_log(2, "Display success-message");
            this->set_dlg_item_text(g_finish::result_id, success_text);
            return true;
        }
        tk_log(2, "Display errors");
        this->set_dlg_item_text(g_finish::result_id, error_text);
        plat::hwnd edit = this->get_dlg_item(g_finish::errors_id);
        plat::show_window(edit, plat::SW_SHOWDEFAULT);
        for (const std::string& entry : errors) {
            g_finish::append_to_edit(edit, g_finish::error_entry(entry));
            g_finish::append_to_edit(edit, "\r\n\r\n");
        }
        plat::send_message(edit, plat::EM_SETREADONLY, 1, 0);
        return true;
    }

    // The first time the errors box takes the focus, its selection goes and the focus moves
    // on to Finish, so Enter ends the wizard.
    plat::lresult on_eb_focus(plat::hwnd edit)
    {
        tk_log(1, "gui_finish_page::on_eb_focus");
        if (!first_focus)
            return 0;
        plat::send_message(edit, plat::EM_SETSEL, static_cast<plat::wparam>(-1), 0);
        plat::send_message(edit, plat::EM_SCROLLCARET, 0, 0);
        plat::set_focus(plat::get_dlg_item(wizard_shell::instance()->window(), plat::ID_PSFINISH));
        first_focus = false;
        return 0;
    }

    bool first_focus = true;
    std::string success_text;
    std::string error_text;
};

template <class Converter, int Id>
class gui_finish_page_t : public gui_finish_page<Id> {
public:
    gui_finish_page_t(const std::string& success, const std::string& error)
        : gui_finish_page<Id>(success, error), profile_ext(g_finish::profile_ext)
    {
    }

    bool ProcessWindowMessage(plat::hwnd window_, unsigned msg, plat::wparam w, plat::lparam l, plat::lresult& result,
                              unsigned map_id) override
    {
        if (map_id != 0)
            return false;
        if (msg == plat::WM_COMMAND && plat::loword(w) == g_finish::save_settings_id &&
            plat::hiword(w) == plat::BN_CLICKED) {
            result = on_store();
            return true;
        }
        return wizard_page_base::ProcessWindowMessage(window_, msg, w, l, result, map_id);
    }

    // "Save Settings...": asks for a profile file and writes the converter's settings there.
    plat::lresult on_store()
    {
        char filter[plat::MAX_PATH] = {};
        std::snprintf(filter, sizeof filter, msg::profile_filter, profile_ext.c_str(), profile_ext.c_str());
        tk_log(1, "gui_finish_page_t::on_store(%s)", filter);
        if (profile_ext.size() != 3 && profile_ext.size() != 4)
            throw tk_mail_assertion(g_finish::source, 141);
        // The trailing "|" becomes the second NUL that ends the list.
        std::replace(filter, filter + std::strlen(filter), '|', '\0');
        const file_dialog_texts texts{filter, msg::profile_dialog_title};
        save_file_dialog dialog(this->window, &texts, g_finish::profile_start_name(), profile_ext.c_str());
        if (!dialog.show()) {
            // A name too long to be a file name is told as the destination's is; nothing is written.
            if (const std::string name = dialog.get_too_long_name(); !name.empty())
                g_finish::report_unsaved_profile(name, msg::path_too_long);
            return 0;
        }
        const std::string path = dialog.get_file_name();
        if (!Converter::instance()->store_profile(path))
            g_finish::report_unsaved_profile(path);
        return 0;
    }

    std::string profile_ext;
};

template <class Converter, int Id>
class gui_finish_page_ex : public gui_finish_page_t<Converter, Id> {
public:
    gui_finish_page_ex(const std::string& success, const std::string& hint, const std::string& error)
        : gui_finish_page_t<Converter, Id>(success, error), hint_text(hint)
    {
        tk_log(2, "gui_finish_page_ex::ctor");
    }

    bool ProcessWindowMessage(plat::hwnd window_, unsigned msg, plat::wparam w, plat::lparam l, plat::lresult& result,
                              unsigned map_id) override
    {
        if (map_id != 0)
            return false;
        if (msg == plat::WM_COMMAND && plat::loword(w) == g_finish::open_on_exit_id) {
            result = on_open_on_exit();
            return true;
        }
        return gui_finish_page_t<Converter, Id>::ProcessWindowMessage(window_, msg, w, l, result, map_id);
    }

    bool page_init() override
    {
        this->check_dlg_button(g_finish::open_on_exit_id,
                               Converter::instance()->open_on_exit ? plat::BST_CHECKED : plat::BST_UNCHECKED);
        this->set_dlg_item_text(g_finish::hint_id, hint_text);
        if (wizard_shell::instance()->error_count() != 0) {
            plat::show_window(this->get_dlg_item(g_finish::hint_id), plat::SW_HIDE);
            plat::show_window(this->get_dlg_item(g_finish::open_on_exit_id), plat::SW_HIDE);
        }
        return gui_finish_page<Id>::page_init();
    }

    plat::lresult on_open_on_exit()
    {
        Converter::instance()->open_on_exit = this->invert_chbox(g_finish::open_on_exit_id);
        return 0;
    }

    // Stores the box's state (checked only counts, also when hidden) and opens the result
    // when it is set. The destination is opened where it is: this platform redirects no
    // writes of the program, so there is no other place to look for it.
    bool on_finish() override
    {
        tk_log(1, "gui_finish_page_ex::on_finish");
        const bool open = this->is_dlg_button_checked(g_finish::open_on_exit_id) == plat::BST_CHECKED;
        Converter* converter = Converter::get_instance();
        converter->open_on_exit = open;
        if (!open)
            return true;
        tk_log(2, "Right before opening '%s'", converter->dest.c_str());
        const std::string path = converter->dest;
        tk_log(2, "SAFE PATH=%s", path.c_str());
        plat::shell_execute(nullptr, "open", path, std::string(), std::string(), plat::SW_SHOWNORMAL);
        return true;
    }

    std::string hint_text;
};
