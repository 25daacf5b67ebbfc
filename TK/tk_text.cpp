#include "tk_text.h"

#include "tk_log.h"

namespace {
constexpr char blank = ' ';
}

std::string tk_ltrim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(blank);
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string tk_rtrim(const std::string& text)
{
    if (text.empty())
        return std::string();
    const std::size_t last = text.find_last_not_of(blank);
    if (last == std::string::npos) {
        tk_log(1, "Special processing for all-spaces-string");
        return std::string();
    }
    return text.substr(0, last + 1);
}

std::string tk_trim(const std::string& text) { return tk_ltrim(tk_rtrim(text)); }

std::vector<std::string> tk_split(const std::string& text, char separator)
{
    std::vector<std::string> pieces;
    if (text.empty())
        return pieces;
    std::string piece;
    for (const char* p = text.c_str();; ++p) {
        if (*p == '\0' || *p == separator) {
            pieces.push_back(piece);
            piece.clear();
            if (*p == '\0')
                break;
        } else {
            piece += *p;
        }
    }
    return pieces;
}
