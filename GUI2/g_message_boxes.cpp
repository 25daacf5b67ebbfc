// The shell's short messages and its help. Each box is captioned with the shell's title and
// owned by the sheet while the shell is initialised, and has the bare word and no owner
// before and after that.
#include "g_wizard_shell.h"

#include "message_table.h"
#include "plat_gui_constants.h"
#include "plat_html_help.h"
#include "plat_message_box.h"
#include "tk_file_name.h"
#include "tk_file_probes.h"
#include "tk_folders.h"
#include "tk_log.h"

namespace {

int show_box(const std::string& text, const char* bare_caption, const char* suffix, unsigned style)
{
    const std::string caption = wizard_shell::caption(bare_caption, suffix);
    plat::hwnd owner = wizard_shell::is_initialized() ? wizard_shell::get_instance()->window() : nullptr;
    return plat::message_box(owner, text, caption, style);
}

void open_help(unsigned command, std::uintptr_t topic)
{
    tk_file_name help_file(tk_get_module_file_name());
    help_file.set_ext(msg::help_file_ext);
    const std::string path = help_file.get_full_name();
    if (!tk_is_file_exist(path, tk_probe_read)) {
        wizard_shell::error(msg::help_file_missing);
        return;
    }
    plat::html_help(plat::get_desktop_window(), path, command, topic);
}

} // namespace

std::string wizard_shell::caption(const char* bare_word, const char* suffix)
{
    return is_initialized() ? get_instance()->title + suffix : std::string(bare_word);
}

void wizard_shell::error(std::string text)
{
    tk_log(1, "wizard_shell::error(%s)", text.c_str());
    show_box(text, msg::caption_error, msg::caption_error_suffix, plat::MB_OK | plat::MB_ICONERROR);
    tk_log(3, "%s", text.c_str());
}

void wizard_shell::message(std::string text)
{
    tk_log(1, "wizard_shell::message(%s)", text.c_str());
    show_box(text, msg::caption_message, msg::caption_message_suffix, plat::MB_OK | plat::MB_ICONINFORMATION);
    tk_log(3, "%s", text.c_str());
}

bool wizard_shell::question(std::string text, unsigned flags)
{
    return show_box(text, msg::caption_question, msg::caption_question_suffix,
                    flags | plat::MB_YESNO | plat::MB_ICONQUESTION) == plat::IDYES;
}

void wizard_shell::display_help(int topic)
{
    tk_log(1, "wizard_shell::display_help(%d)", topic);
    open_help(plat::HH_HELP_CONTEXT, static_cast<std::uintptr_t>(topic));
}

void wizard_shell::display_help()
{
    tk_log(1, "wizard_shell::display_help");
    open_help(plat::HH_DISPLAY_TOPIC, 0);
}
