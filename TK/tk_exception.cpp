#include "tk_exception.h"

#include "message_table.h"
#include "plat_error.h"
#include "tk_log.h"

#include <cstdio>

std::string tk_assertion_code(const char* file, int line)
{
    char text[276];
    std::snprintf(text, sizeof text, "%s\\%d", file, line);
    static const char digits[] = "0123456789abcdef";
    std::string result = msg::internal_error_head;
    for (const char* p = text; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        result += digits[byte >> 4];
        result += digits[byte & 0x0f];
    }
    return result;
}

tk_exception::tk_exception(const std::string& text, int level_)
    : message(text.empty() ? std::string(msg::unknown_exception) : text), level(level_)
{
}

tk_exception::tk_exception(int level_) : message(msg::unknown_exception), level(level_) {}

tk_exception::~tk_exception() = default;

const char* tk_exception::what() const noexcept { return message.c_str(); }

tk_exception_ex::tk_exception_ex() : tk_exception(1) { format_last_error(std::string()); }

void tk_exception_ex::format_last_error(const std::string& leading_text)
{
    code = plat::last_error();
    std::string system_text;
    if (!plat::error_text(code, system_text))
        return;
    message = leading_text + system_text;
    tk_log(2, "GetLastError: %s", system_text.c_str());
}

tk_mail_assertion::tk_mail_assertion(const char* file, int line)
    : tk_exception(tk_assertion_code(file, line), 2)
{
    tk_log(2, "tk_mail_assertion::ctor(%s)", file);
}

pdf_wrong_pswd_exception::pdf_wrong_pswd_exception() : tk_exception(msg::incorrect_password, 1) {}

tk_final_exception::tk_final_exception() { tk_log(2, "tk_final_exception::ctor"); }
