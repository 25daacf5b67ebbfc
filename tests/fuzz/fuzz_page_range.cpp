// Fuzzes the page-range parser: any text either gives a list of page numbers (none 0,
// never more than the bound) or the "Invalid page range" error, and nothing else.
#include "fuzz_support.h"
#include "message_table.h"
#include "page_range.h"
#include "tk_exception.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = fuzz_support::as_text(data, size);
    std::vector<std::uint32_t> list;
    try {
        parse_page_range(text, list);
        if (text.empty() != list.empty())
            std::abort(); // only the empty text means every page
    } catch (const tk_exception& e) {
        if (e.level != 1 || std::strcmp(e.what(), msg::invalid_page_range) != 0)
            std::abort();
    }
    if (list.size() > page_range_max_entries)
        std::abort();
    for (const std::uint32_t page : list)
        if (page == 0)
            std::abort();
    return 0;
}
