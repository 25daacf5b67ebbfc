#include "tk_desktop_services.h"

#include "message_table.h"
#include "plat_clipboard.h"
#include "plat_error.h"
#include "plat_library.h"
#include "plat_mail.h"
#include "tk_cwd_saver.h"
#include "tk_log.h"

#include <cstdio>
#include <ctime>

std::uint32_t get_dll_version(const wchar_t* dll)
{
    plat::library_handle library = plat::load_library(dll);
    if (library == nullptr) {
        tk_log(1, "get_dll_version failed to load DLL");
        return 0;
    }
    auto get_version = reinterpret_cast<plat::dll_get_version_proc>(plat::get_proc_address(library, "DllGetVersion"));
    if (get_version == nullptr) {
        tk_log(1, "get_dll_version failed to obtain DllGetVersion");
        plat::free_library(library);
        return 0;
    }
    plat::dll_version_info info {};
    info.size = sizeof info;
    if (get_version(&info) < 0) {
        plat::free_library(library);
        return 0;
    }
    const std::uint32_t version = ((info.major & 0xFFFFu) << 16) | (info.minor & 0xFFFFu);
    plat::free_library(library);
    return version;
}

void tk_copy_to_clipboard1(const std::string& text)
{
    tk_log(2, "tk_copy_to_clipboard1(%s)", text.c_str());
    // The clipboard takes the text up to its first NUL, as a C string.
    const std::string block = text.c_str();
    if (!plat::open_clipboard()) {
        tk_log(2, "GetLastError() returns %08X", static_cast<unsigned>(plat::last_error()));
        return;
    }
    tk_log(2, "OpenClipboard succeeded");
    plat::empty_clipboard();
    plat::set_clipboard_text(block);
    plat::close_clipboard();
}

std::string tk_bug_date_text(std::int64_t seconds)
{
    if (seconds < 0)
        return std::string();
    const auto when = static_cast<std::time_t>(seconds);
    std::tm local {};
    if (localtime_r(&when, &local) == nullptr)
        return std::string();
    char text[64];
    std::snprintf(text, sizeof text, "%d/%d/%d %d:%d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour, local.tm_min);
    return text;
}

void tk_send_bug(const std::string& product, const std::string& text)
{
    tk_log(2, "tk_send_bug(%s|%s)", product.c_str(), text.c_str());
    plat::mail_message message;
    message.subject = std::string(msg::bug_report_subject) + product;
    message.body = text;
    message.date_received = tk_bug_date_text(static_cast<std::int64_t>(std::time(nullptr)));
    const std::string address = msg::support_mail;
    const std::string scheme = "mailto:";
    message.recipient = address.rfind(scheme, 0) == 0 ? address.substr(scheme.size()) : address;

    // The mail system may change the current directory.
    tk_cwd_saver saver(".");
    const std::string agent = plat::find_mail_agent();
    if (agent.empty()) {
        tk_log(2, "Failed to locate MAPI32.DLL");
        return;
    }
    const int result = plat::send_mail(agent, message);
    tk_log(2, "lpfnMAPISendMail returns %d", result);
}
