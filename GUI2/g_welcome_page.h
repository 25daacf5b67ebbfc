#pragma once
// The wizard's first page: an exterior page (the sheet's watermark at its left) with the
// title in the large font, two lines of text, a closing line, the Next button and help.
#include "g_wizard_page.h"
#include "plat_gui_constants.h"

template <>
const plat::dialog_template& plat::dialog_resource<103>();

class welcome_page : public wizard_page<103, plat::PSWIZB_NEXT, plat::PSP_HASHELP | plat::PSP_HIDEHEADER> {
public:
    // The static that shows the title.
    static constexpr int title_id = 1337;
    static constexpr int help_topic = 1012;

    bool page_init() override;
    void on_help() override;
};
