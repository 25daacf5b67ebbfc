#pragma once
// The select-files page ("Step 1 of 2"): the source document, its password, the destination
// text file and the pages to convert. It shows the converter's stored values on every
// arrival, proposes a destination whenever a source is entered, and on Back and Next reads
// the controls into the converter; Next checks the inputs before the conversion may start.
#include "g_wizard_page.h"
#include "plat_gui_constants.h"

#include <string>

template <>
const plat::dialog_template& plat::dialog_resource<104>();

namespace qlt_shel {
// The source name under which the wizard's own pages report their checks.
inline constexpr const char* source = "qlt_shel";
} // namespace qlt_shel

class sel_file_page : public wizard_page<104, plat::PSWIZB_BACK | plat::PSWIZB_NEXT, plat::PSP_HASHELP> {
public:
    static constexpr int src_edit = 1003;
    static constexpr int dest_edit = 1004;
    static constexpr int password_edit = 1005;
    static constexpr int range_edit = 1006;
    static constexpr int browse_src_button = 1107;
    static constexpr int browse_dest_button = 1104;
    static constexpr int use_password_box = 1222;
    static constexpr int all_pages_radio = 1331;
    static constexpr int some_pages_radio = 1332;
    static constexpr int help_topic = 1013;

    sel_file_page();

    bool ProcessWindowMessage(plat::hwnd window, unsigned msg, plat::wparam w, plat::lparam l, plat::lresult& result,
                              unsigned map_id) override;

    bool page_init() override;
    void on_help() override;
    int on_next() override;
    int on_back() override;

    // Reads the controls into the converter; an unparsable range throws "Invalid page range"
    // after the names and the password have been stored.
    void collect();
    // Puts the source's base name with ".txt" into the destination's folder (or the
    // default folder when the destination is empty).
    int set_default_dest(const char* src);

    void on_src_edit();
    void on_browse_src();
    void on_browse_dest();
    void on_use_pwd();
    void on_radio(int id);

private:
    // The checks after the page has been collected; 0 to go on, -1 to stay.
    int check_inputs();

    // The source name for which Next failed to propose a destination, until the edit has
    // lost the focus once more; that loss does not tell the failure a second time.
    std::string failed_proposal;
};
