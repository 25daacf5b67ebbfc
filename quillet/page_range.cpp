#include "page_range.h"

#include "message_table.h"
#include "tk_exception.h"
#include "tk_log.h"
#include "tk_text.h"

#include <climits>
#include <cstdlib>

namespace {

// A page number read like the runtime's decimal conversion to int: leading white space,
// an optional sign, the digits up to the first other character; no digits read 0, and a
// value beyond the int range reads as the nearest limit.
std::uint32_t read_page_number(const std::string& text)
{
    const long value = std::strtol(text.c_str(), nullptr, 10);
    const long clamped = value > INT_MAX ? INT_MAX : (value < INT_MIN ? INT_MIN : value);
    return static_cast<std::uint32_t>(static_cast<int>(clamped));
}

[[noreturn]] void invalid_range() { throw tk_exception(msg::invalid_page_range, 1); }

void append_pages(std::vector<std::uint32_t>& list, std::uint32_t first, std::uint32_t last)
{
    if (last - first >= page_range_max_entries - list.size())
        invalid_range();
    for (std::uint32_t page = first;; ++page) {
        tk_log(1, "Store page #%d", static_cast<int>(page));
        list.push_back(page);
        if (page == last)
            break;
    }
}

} // namespace

void parse_page_range(const std::string& text, std::vector<std::uint32_t>& list)
{
    for (const std::string& raw_item : tk_split(text, ',')) {
        const std::string item = tk_trim(raw_item);
        if (item.find('-') == std::string::npos) {
            const std::uint32_t page = read_page_number(item);
            if (page == 0)
                invalid_range();
            append_pages(list, page, page);
            continue;
        }
        tk_log(1, "Got page range: %s", item.c_str());
        const std::vector<std::string> bounds = tk_split(item, '-');
        if (bounds.size() != 2)
            invalid_range();
        const std::uint32_t first = read_page_number(bounds[0]);
        const std::uint32_t last = read_page_number(bounds[1]);
        if (first == 0 || last == 0 || last <= first)
            invalid_range();
        append_pages(list, first, last);
    }
}
