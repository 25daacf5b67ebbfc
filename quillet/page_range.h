#pragma once
// The page-range text ("1,3,5-10") read into the list of page numbers it names.
#include <cstdint>
#include <string>
#include <vector>

// The most entries one page-range text may expand to; more is refused like a bad item.
inline constexpr std::size_t page_range_max_entries = 1000000;

// Appends the numbers that `text` names to `list`, in text order, duplicates kept. A bad
// item throws the "Invalid page range" tk_exception (level 1); the items before it stay
// appended.
void parse_page_range(const std::string& text, std::vector<std::uint32_t>& list);
