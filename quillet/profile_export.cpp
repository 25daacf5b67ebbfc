#include "message_table.h"
#include "quillet_convertor.h"
#include "tk_log.h"

bool quillet_convertor::store_profile(const std::string& path)
{
    tk_log(2, "quillet_convertor::store_profile(%s)", path.c_str());
    tk_profile profile;
    if (!fill_profile(profile))
        return false;
    return profile.store(path);
}

bool quillet_convertor::fill_profile(tk_profile& profile)
{
    tk_converter::store_profile(profile);
    if (!password.empty())
        profile.set_value(msg::generic_settings, msg::value_password, password);
    if (!pages.empty())
        profile.set_value(msg::generic_settings, msg::value_pages, pages);
    return true;
}
