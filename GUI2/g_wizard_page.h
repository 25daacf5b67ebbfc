#pragma once
// wizard_page<IDD, BUTTONS, FLAGS>: the base of every wizard page. It turns the sheet's
// notifications into virtual operations, sets the wizard buttons and initialises the shell's
// window on each activation, asks before Cancel closes the wizard, and offers pages three
// small operations: enable a control, invert a check box, give a static the title font.
//   IDD     the page's dialog template
//   BUTTONS the wizard buttons enabled on activation (PSWIZB_* mask)
//   FLAGS   page flags added to the page record (PSP_HASHELP, PSP_HIDEHEADER)
#include "plat_dialog_box.h"
#include "plat_dialog_template.h"
#include "plat_property_sheet.h"
#include "plat_resources.h"
#include "plat_window.h"

#include <string>

namespace g_wiz_pg {
inline constexpr const char* source = "..\\GUI2/g_wiz_pg";
} // namespace g_wiz_pg

// What every page has in common; the template adds the page's numbers.
class wizard_page_base : public plat::window_object {
public:
    wizard_page_base(const plat::dialog_template& resource, unsigned buttons, unsigned flags);
    virtual ~wizard_page_base();
    wizard_page_base(const wizard_page_base&) = delete;
    wizard_page_base& operator=(const wizard_page_base&) = delete;

    // The page's message map: WM_NOTIFY goes to the notification dispatch.
    bool ProcessWindowMessage(plat::hwnd window, unsigned msg, plat::wparam w, plat::lparam l, plat::lresult& result,
                              unsigned map_id) override;

    virtual bool page_init();
    virtual bool on_kill_active();
    virtual bool on_finish();
    virtual void on_help();
    // 0: the next (previous) page; -1: stay; otherwise the dialog id of the page to show.
    virtual int on_next();
    virtual int on_back();
    // The exit question; true lets the wizard close.
    virtual bool on_cancel();

    // PSN_SETACTIVE: posts the page's buttons to the sheet, initialises the shell's window,
    // then runs page_init.
    bool OnSetActive();

    // Enables or disables control `id`; an enabled control also gets the keyboard focus.
    void enable_ctrl(int id, bool enable);
    // Checks the box unless it is checked now; returns whether it is checked afterwards.
    bool invert_chbox(int id);
    // Gives static `id` the page's large title font (made on the first call).
    void set_title_font(int id);

    // The page's record for the sheet.
    plat::prop_sheet_page& page_record() { return psp; }

    // Controls of the page by id.
    plat::hwnd get_dlg_item(int id) const { return plat::get_dlg_item(window, id); }
    std::string get_dlg_item_text(int id) const { return plat::get_dlg_item_text(window, id); }
    void set_dlg_item_text(int id, const std::string& text) const { plat::set_dlg_item_text(window, id, text); }
    int is_dlg_button_checked(int id) const { return plat::is_dlg_button_checked(window, id); }
    void check_dlg_button(int id, int state) const { plat::check_dlg_button(window, id, state); }
    plat::hwnd get_parent() const { return plat::get_parent(window); }

    plat::prop_sheet_page psp;
    plat::hfont title_font = nullptr;

protected:
    // The notification dispatch; false for a notification it leaves unhandled.
    bool dispatch_notify(plat::lparam l, plat::lresult& result);

private:
    unsigned wizard_buttons;
};

template <int IDD, unsigned BUTTONS, unsigned FLAGS>
class wizard_page : public wizard_page_base {
public:
    static constexpr int idd = IDD;

    wizard_page() : wizard_page_base(plat::dialog_resource<IDD>(), BUTTONS, FLAGS) {}
};
