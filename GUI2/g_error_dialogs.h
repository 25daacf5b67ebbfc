#pragma once
// The error handler's two dialogs:
// - dlg_error_ex<114>: an internal error, with OK, "Copy to clipboard" and "Send bug"; it
//   has no way out but its three buttons (Escape and the close box do nothing).
// - dlg_error_continue<115>: an error after which work may go on, Continue (also Escape and
//   the close box) or Abort, and the check box "&Do not show this dialog box again".
#include "plat_dialog_box.h"
#include "plat_dialog_template.h"
#include "plat_gui_constants.h"
#include "plat_window.h"

#include <string>

template <>
const plat::dialog_template& plat::dialog_resource<114>();
template <>
const plat::dialog_template& plat::dialog_resource<115>();

namespace error_dialog_ids {
inline constexpr int text = 1320;
inline constexpr int send_bug = 1112;
inline constexpr int copy = 1108;
inline constexpr int dont_show = 1222;
inline constexpr int ok = plat::IDOK;
// Abort is the dialog's id 1 and Continue its id 2, the command that Escape and the close
// box send: so they choose Continue.
inline constexpr int abort = plat::IDOK;
inline constexpr int continue_ = plat::IDCANCEL;
} // namespace error_dialog_ids

// What both dialogs share: their message map, and on WM_INITDIALOG the caption, the text,
// centring, to the top. Each dialog answers its own buttons in on_command.
class error_dialog_base : public plat::window_object {
public:
    // `name` is the dialog's name in the log.
    error_dialog_base(const char* name, const std::string& text_);

    // Runs the dialog modally over `parent`; the result it ended with, -1 when it can't be made.
    int do_modal(plat::hwnd parent);

    bool ProcessWindowMessage(plat::hwnd window, unsigned msg, plat::wparam w, plat::lparam l, plat::lresult& result,
                              unsigned map_id) override;

    std::string text;

protected:
    ~error_dialog_base() = default;
    virtual const plat::dialog_template& resource() const = 0;
    // The command of control `id`; false leaves it unhandled.
    virtual bool on_command(int id) = 0;

private:
    bool on_init();

    const char* name;
};

template <int IDD>
class dlg_error_ex;

template <>
class dlg_error_ex<114> : public error_dialog_base {
public:
    explicit dlg_error_ex(const std::string& text);
    virtual ~dlg_error_ex();

    void on_send_bug();

protected:
    const plat::dialog_template& resource() const override { return plat::dialog_resource<114>(); }
    bool on_command(int id) override;
};

template <int IDD>
class dlg_error_continue;

template <>
class dlg_error_continue<115> : public error_dialog_base {
public:
    explicit dlg_error_continue(const std::string& text);
    virtual ~dlg_error_continue();

    void on_dont_show();

    bool dont_show = false;

protected:
    const plat::dialog_template& resource() const override { return plat::dialog_resource<115>(); }
    bool on_command(int id) override;
};
