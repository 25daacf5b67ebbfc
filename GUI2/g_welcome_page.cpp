#include "g_welcome_page.h"

#include "g_wizard_shell.h"
#include "message_table.h"

using namespace plat;

template <>
const dialog_template& plat::dialog_resource<103>()
{
    static const dialog_template resource{
        103,
        317,
        193,
        msg::dialog_font_face,
        8,
        {
            {welcome_page::title_id, "STATIC", msg::welcome_title, SS_LEFT | WS_VISIBLE, 115, 8, 154, 80},
            {IDC_STATIC, "STATIC", msg::welcome_line1, SS_LEFT | WS_VISIBLE, 115, 40, 180, 8},
            {IDC_STATIC, "STATIC", msg::welcome_line2, SS_LEFT | WS_VISIBLE, 115, 48, 180, 8},
            {IDC_STATIC, "STATIC", msg::welcome_closing, SS_LEFT | WS_VISIBLE, 115, 175, 196, 8},
        },
    };
    return resource;
}

bool welcome_page::page_init()
{
    set_title_font(title_id);
    return true;
}

void welcome_page::on_help() { wizard_shell::display_help(help_topic); }
