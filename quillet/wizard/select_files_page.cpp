#include "select_files_page.h"

#include "g_file_dialogs.h"
#include "g_wizard_shell.h"
#include "message_table.h"
#include "pdf_conversion_document.h"
#include "pdf_library.h"
#include "plat_error.h"
#include "plat_folder_access.h"
#include "plat_file_identity.h"
#include "plat_file_kind.h"
#include "quillet_convertor.h"
#include "tk_default_dest.h"
#include "tk_exception.h"
#include "tk_file_name.h"
#include "tk_file_probes.h"
#include "tk_log.h"
#include "wizard_event_failures.h"

#include <initializer_list>

using namespace plat;

template <>
const dialog_template& plat::dialog_resource<104>()
{
    constexpr unsigned edit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | WS_VISIBLE;
    constexpr unsigned label = SS_LEFT | WS_VISIBLE;
    static const dialog_template resource{
        104,
        317,
        143,
        msg::dialog_font_face,
        8,
        {
            {IDC_STATIC, "STATIC", msg::sel_intro, label, 22, 5, 280, 8},
            {IDC_STATIC, "STATIC", msg::sel_pdf_label, label, 22, 28, 30, 8},
            {sel_file_page::src_edit, "EDIT", "", edit, 55, 26, 180, 14},
            {sel_file_page::browse_src_button, "BUTTON", msg::sel_browse, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 240,
             26, 48, 15},
            {sel_file_page::use_password_box, "BUTTON", msg::sel_use_password, BS_CHECKBOX | WS_TABSTOP | WS_VISIBLE,
             22, 44, 65, 10},
            {sel_file_page::password_edit, "EDIT", "", edit | ES_PASSWORD, 88, 43, 100, 14},
            {IDC_STATIC, "STATIC", msg::sel_text_label, label, 22, 69, 30, 8},
            {sel_file_page::dest_edit, "EDIT", "", edit, 55, 67, 180, 14},
            {sel_file_page::browse_dest_button, "BUTTON", msg::sel_browse, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE,
             240, 67, 48, 15},
            {IDC_STATIC, "BUTTON", msg::sel_range_group, BS_GROUPBOX | WS_VISIBLE, 22, 90, 266, 48},
            {sel_file_page::all_pages_radio, "BUTTON", msg::sel_all_pages, BS_AUTORADIOBUTTON | WS_GROUP | WS_VISIBLE,
             30, 101, 30, 11},
            {sel_file_page::some_pages_radio, "BUTTON", msg::sel_some_pages, BS_AUTORADIOBUTTON | WS_VISIBLE, 60, 101,
             40, 11},
            {sel_file_page::range_edit, "EDIT", "", edit, 100, 100, 100, 14},
            {IDC_STATIC, "STATIC", msg::sel_range_hint, label, 30, 115, 220, 8},
            {IDC_STATIC, "STATIC", msg::sel_range_example, label, 30, 123, 200, 8},
        },
    };
    return resource;
}

namespace {

// A filter list in the file dialog's form: each text ended by a NUL, the list by one more.
std::string filter_list(std::initializer_list<const char*> texts)
{
    std::string list;
    for (const char* text : texts) {
        list += text;
        list += '\0';
    }
    list += '\0';
    return list;
}

// Every box of the page goes through the shell, which must exist while the page does.
void error_box(const std::string& text)
{
    wizard_shell::instance();
    wizard_shell::error(text);
}

void message_box(const std::string& text)
{
    wizard_shell::instance();
    wizard_shell::message(text);
}

// Runs one of the page's steps; a failure it raises is reported as every failure inside the
// wizard's event handling is (an internal error by the error handler, any other in the error
// box), and false tells the caller to keep the page.
template <class Handler>
bool guarded(Handler handler)
{
    try {
        handler();
        return true;
    } catch (...) {
        wizard_report_event_failure(std::current_exception());
    }
    return false;
}

} // namespace

sel_file_page::sel_file_page()
{
    psp.header_title = msg::sel_header_title;
    psp.flags |= PSP_USEHEADERTITLE;
    psp.header_subtitle = msg::sel_header_subtitle;
    psp.flags |= PSP_USEHEADERSUBTITLE;
}

// The handlers of the controls run inside the window system's dispatch, which reports what
// they raise (a name too long to be made full, say) and keeps the page.
bool sel_file_page::ProcessWindowMessage(hwnd window_, unsigned msg, wparam w, lparam l, lresult& result,
                                         unsigned map_id)
{
    if (map_id != 0)
        return false;
    if (msg == WM_NOTIFY)
        return wizard_page_base::ProcessWindowMessage(window_, msg, w, l, result, map_id);
    if (msg != WM_COMMAND)
        return false;
    const int id = static_cast<int>(loword(w));
    const unsigned code = hiword(w);
    switch (id) {
    case src_edit:
        if (code != EN_KILLFOCUS)
            return false;
        on_src_edit();
        break;
    case browse_src_button:
        on_browse_src();
        break;
    case browse_dest_button:
        on_browse_dest();
        break;
    case use_password_box:
        on_use_pwd();
        break;
    case all_pages_radio:
    case some_pages_radio:
        on_radio(id);
        break;
    default:
        return false;
    }
    result = 0;
    return true;
}

bool sel_file_page::page_init()
{
    quillet_convertor* converter = quillet_convertor::instance();
    set_dlg_item_text(src_edit, converter->src);
    set_dlg_item_text(dest_edit, converter->dest);

    const bool has_password = !converter->password.empty();
    check_dlg_button(use_password_box, has_password ? BST_CHECKED : BST_UNCHECKED);
    enable_ctrl(password_edit, has_password);
    set_dlg_item_text(password_edit, converter->password);

    const std::string pages = converter->pages;
    check_dlg_button(some_pages_radio, pages.empty() ? BST_UNCHECKED : BST_CHECKED);
    check_dlg_button(all_pages_radio, pages.empty() ? BST_CHECKED : BST_UNCHECKED);
    enable_ctrl(range_edit, !pages.empty());
    if (!pages.empty())
        set_dlg_item_text(range_edit, pages);
    return true;
}

void sel_file_page::on_src_edit()
{
    const std::string src = get_dlg_item_text(src_edit);
    // Next has told already that no destination can be proposed for this name; the box that
    // told it took the focus from the edit.
    const bool told = !failed_proposal.empty() && src == failed_proposal;
    failed_proposal.clear();
    if (!src.empty() && !told)
        set_default_dest(src.c_str());
}

int sel_file_page::set_default_dest(const char* src)
{
    if (src == nullptr)
        throw tk_mail_assertion(qlt_shel::source, 207);
    const tk_file_name source(src);
    const std::string old_dest = get_dlg_item_text(dest_edit);
    set_dlg_item_text(dest_edit, common_make_dest(old_dest, source.name, "txt", false));
    return 0;
}

void sel_file_page::on_browse_src()
{
    const std::string filter =
        filter_list({msg::pdf_filter_name, msg::pdf_filter_pattern, msg::all_filter_name, msg::all_filter_pattern});
    const file_dialog_texts texts{filter.c_str(), msg::select_source_title};
    open_file_dialog dialog(window, &texts, get_dlg_item_text(src_edit));
    if (!dialog.show())
        return;
    const std::string chosen = dialog.get_file_name();
    set_dlg_item_text(src_edit, chosen);
    set_default_dest(chosen.c_str());
}

void sel_file_page::on_browse_dest()
{
    const std::string filter =
        filter_list({msg::text_filter_name, msg::text_filter_pattern, msg::all_filter_name, msg::all_filter_pattern});
    const file_dialog_texts texts{filter.c_str(), msg::select_dest_title};
    save_file_dialog dialog(window, &texts, get_dlg_item_text(dest_edit), "txt");
    if (dialog.show())
        set_dlg_item_text(dest_edit, dialog.get_file_name());
}

void sel_file_page::on_use_pwd()
{
    tk_log(1, "sel_file_page::on_use_pwd");
    enable_ctrl(password_edit, invert_chbox(use_password_box));
}

void sel_file_page::on_radio(int id)
{
    tk_log(1, "settings_page::on_radio(%d)", id);
    enable_ctrl(range_edit, id == some_pages_radio);
}

void sel_file_page::collect()
{
    const std::string src = get_dlg_item_text(src_edit);
    const std::string dest = get_dlg_item_text(dest_edit);
    const std::string password =
        is_dlg_button_checked(use_password_box) == BST_CHECKED ? get_dlg_item_text(password_edit) : std::string();

    quillet_convertor* converter = quillet_convertor::instance();
    converter->src = src;
    converter->dest = dest;
    converter->password = password;
    if (is_dlg_button_checked(all_pages_radio) == BST_CHECKED)
        converter->set_page_range(std::string());
    else if (is_dlg_button_checked(some_pages_radio) == BST_CHECKED)
        converter->set_page_range(get_dlg_item_text(range_edit));
}

int sel_file_page::on_back()
{
    // A range that can't be parsed keeps the page, as on Next, so the user can mend it.
    return guarded([this] { collect(); }) ? 0 : -1;
}

void sel_file_page::on_help() { wizard_shell::display_help(help_topic); }

int sel_file_page::on_next()
{
    // Enter in the source edit presses Next while the edit keeps the focus: the proposal
    // that its losing the focus makes comes first, so that the checks see it.
    if (get_focus() == get_dlg_item(src_edit)) {
        try {
            on_src_edit();
        } catch (...) {
            failed_proposal = get_dlg_item_text(src_edit);
            wizard_report_event_failure(std::current_exception());
            return -1;
        }
    }
    try {
        collect();
    } catch (const tk_exception& e) {
        error_box(e.what());
        return -1;
    }
    int result = -1;
    // The checks' own failures (a name too long to be made full, say) end in the error box
    // as well, and the page stays.
    guarded([&] { result = check_inputs(); });
    return result;
}

int sel_file_page::check_inputs()
{
    quillet_convertor* converter = quillet_convertor::instance();
    if (converter->src.empty()) {
        message_box(msg::enter_source);
        return -1;
    }
    if (converter->dest.empty()) {
        message_box(msg::enter_dest);
        return -1;
    }
    if (!tk_is_file_exist(converter->src, tk_probe_read)) {
        error_box(msg::source_missing);
        return -1;
    }
    // A wrong password, an unreadable document, a tree that holds more pages than its
    // count or a list without a page of it keeps the page. The run opens and checks the
    // document again: the user may change the file while a question here waits.
    try {
        pdf_conversion_document(converter->src, pdf_password_or_none(converter->password), converter->page_list);
    } catch (const tk_exception& e) {
        error_box(e.what());
        return -1;
    }

    std::string dest = converter->dest;
    if (dest.find(".txt") == std::string::npos)
        dest += ".txt";
    // A FIFO, a device or a socket can't hold the text: the run would block opening a FIFO
    // that nobody reads, or write into a device. Looked up only, so nothing is opened here.
    if (is_special_file(dest)) {
        error_box(msg::dest_not_a_file);
        return -1;
    }
    // A name without a name part ("out/" becomes "out/.txt") would be written as a hidden
    // file, and a folder can't be written at all: either names no destination file.
    if (tk_file_name(dest).name.empty() || tk_is_path_exist(dest)) {
        message_box(msg::enter_dest);
        return -1;
    }
    // Writing the destination would destroy the source.
    if (plat::same_file(converter->src, dest)) {
        error_box(msg::dest_is_source);
        return -1;
    }

    if (tk_is_file_exist(dest, tk_probe_read)) {
        if (!tk_is_file_exist(dest, tk_probe_write)) {
            error_box(msg::dest_read_only);
            return -1;
        }
        // The run replaces its text when it writes the destination; a run that fails leaves it.
        wizard_shell::instance();
        if (!wizard_shell::question(msg::dest_overwrite, MB_DEFBUTTON2))
            return -1;
    } else {
        const tk_file_name name(dest);
        if (!tk_is_path_exist(name.get_folder())) {
            error_box(msg::dest_path_missing);
            return -1;
        }
        // The run could not create the file: the system's reason, and the page stays.
        if (const int error = create_access_error(name.get_folder()); error != 0) {
            set_last_error(error);
            throw tk_exception_ex();
        }
    }
    converter->dest = dest;
    return 0;
}
