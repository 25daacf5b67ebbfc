#pragma once
// The progress page ("Step 2 of 2"): its activation locks the wizard's Back and Next and
// starts the conversion on a worker thread whose work object is the converter; each tick of
// the shell's progress timer moves the bar and the status line, and once the run has ended
// the sheet switches to the finish page.
#include "g_wizard_page.h"
#include "plat_gui_constants.h"
#include "tk_thread.h"

template <>
const plat::dialog_template& plat::dialog_resource<105>();

class progress_page : public wizard_page<105, plat::PSWIZB_BACK | plat::PSWIZB_NEXT, plat::PSP_HASHELP>,
                      public tk_thread {
public:
    static constexpr int bar_id = 1321;
    static constexpr int status_id = 1323;
    // The page the sheet switches to when the run has ended.
    static constexpr int finish_page_id = 126;

    progress_page();
    // The worker part goes first: a run still under way is asked to stop and awaited, so it
    // never outlives the shell and the converter that it uses.
    ~progress_page() override;

    tk_thread_functor* create_functor() override;

    bool ProcessWindowMessage(plat::hwnd window, unsigned msg, plat::wparam w, plat::lparam l, plat::lresult& result,
                              unsigned map_id) override;

    bool page_init() override;
    void on_help() override;
    void on_timer(plat::wparam id);
};
