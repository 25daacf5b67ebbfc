#include "tk_converter.h"

#include "message_table.h"
#include "tk_log.h"

tk_converter::tk_converter() { tk_log(2, "tk_converter::ctor"); }

tk_converter::~tk_converter() = default;

bool tk_converter::store_profile(tk_profile& profile)
{
    tk_log(2, "tk_converter::store_profile");
    profile.set_value(msg::generic_settings, msg::key_src, src);
    profile.set_value(msg::generic_settings, msg::key_dest, dest);
    profile.set_value(msg::generic_settings, msg::key_logfile, logfile);
    return true;
}
