#pragma once
// Services of the desktop: a library's version, the clipboard and the bug-report mail.
// Each reports its failures to the log only and never throws.
#include <cstdint>
#include <string>

// The version that the library `dll` reports through its export "DllGetVersion": the major
// version in the high 16 bits, the minor version in the low 16 bits; 0 on any failure.
std::uint32_t get_dll_version(const wchar_t* dll);

// Puts `text` on the clipboard, up to its first NUL byte, line ends unchanged.
void tk_copy_to_clipboard1(const std::string& text);

// Mails a bug report on `product` with the report `text` to the support address, without
// any user interface. The current directory is the same afterwards.
void tk_send_bug(const std::string& product, const std::string& text);

// The date text of a bug report for a calendar time in seconds since 1970: its local time
// as "year/month/day hour:minute" without leading zeros; empty before 1970.
std::string tk_bug_date_text(std::int64_t seconds);
