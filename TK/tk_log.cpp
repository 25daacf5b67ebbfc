#include "tk_log.h"

#include "plat_utf8.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <string>

namespace {

constexpr std::size_t wide_buffer_units = 10240;

// Steps shared by both log functions: presence, reset, threshold, open, time stamp.
// Returns the open file, or null when nothing is to be written.
std::FILE* open_record(int level, tk_log_settings*& settings)
{
    if (!tk_log_settings::has_instance())
        return nullptr;
    tk_log_settings* candidate = tk_log_settings::get_instance();
    if (!candidate->enabled)
        return nullptr;
    tk_log_reset(*candidate);
    settings = tk_log_settings::get_instance();
    if (level < settings->threshold)
        return nullptr;
    std::FILE* file = std::fopen(settings->file_name.c_str(), "ab");
    if (file == nullptr)
        return nullptr;
    if (settings->time_stamp) {
        const std::time_t now = std::time(nullptr);
        std::tm local {};
        localtime_r(&now, &local);
        std::fprintf(file, "%02d:%02d:%02d ", local.tm_hour, local.tm_min, local.tm_sec);
    }
    return file;
}

void close_record(std::FILE* file, const tk_log_settings& settings)
{
    if (settings.add_line_end)
        std::fwrite("\r\n", 1, 2, file);
    std::fclose(file);
}

// The log's wide formats give "%s" and "%c" wide arguments; this runtime reads those
// as narrow unless the conversion says "l", so a conversion without a length gets one.
std::wstring widen_conversions(const wchar_t* format)
{
    std::wstring result;
    for (const wchar_t* p = format; *p != L'\0';) {
        if (*p != L'%') {
            result += *p++;
            continue;
        }
        result += *p++;
        if (*p == L'%') {
            result += *p++;
            continue;
        }
        while (*p != L'\0' && std::wcschr(L"-+ #0'123456789.*$", *p) != nullptr)
            result += *p++;
        const bool has_length = *p != L'\0' && std::wcschr(L"hlLqjzt", *p) != nullptr;
        if (!has_length && (*p == L's' || *p == L'c'))
            result += L'l';
        while (*p != L'\0' && std::wcschr(L"hlLqjzt", *p) != nullptr)
            result += *p++;
        if (*p != L'\0')
            result += *p++;
    }
    return result;
}

// UTF-8 form of a wide text with its terminator, into a buffer of `capacity` bytes;
// an empty result when it does not fit.
std::string to_utf8_bounded(const std::wstring& text, std::size_t capacity)
{
    std::string out = plat::utf8_from_wide(text.data(), text.size());
    if (out.size() + 1 > capacity)
        return std::string();
    return out;
}

} // namespace

void tk_log_reset(tk_log_settings& settings)
{
    if (!settings.enabled || settings.reset_done)
        return;
    if (std::FILE* file = std::fopen(settings.file_name.c_str(), "wb"))
        std::fclose(file);
    settings.reset_done = true;
}

void tk_log(int level, const char* format, ...)
{
    if (!tk_log_settings::has_instance())
        return;
    tk_log_settings* settings = nullptr;
    std::FILE* file = open_record(level, settings);
    if (file == nullptr)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    close_record(file, *settings);
}

void tk_log_w(int level, const wchar_t* format, ...)
{
    if (!tk_log_settings::has_instance())
        return;
    tk_log_settings* settings = nullptr;
    std::FILE* file = open_record(level, settings);
    if (file == nullptr)
        return;

    // Format without a limit into memory, then cut to the buffer's size.
    wchar_t* formatted = nullptr;
    std::size_t formatted_size = 0;
    std::wstring text;
    if (std::FILE* memory = open_wmemstream(&formatted, &formatted_size)) {
        const std::wstring wide_format = widen_conversions(format);
        va_list args;
        va_start(args, format);
        std::vfwprintf(memory, wide_format.c_str(), args);
        va_end(args);
        std::fclose(memory);
        text.assign(formatted, formatted_size);
        std::free(formatted);
    }
    if (text.size() > wide_buffer_units - 1)
        text.resize(wide_buffer_units - 1);

    const std::string bytes = to_utf8_bounded(text, wide_buffer_units);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    close_record(file, *settings);
}
