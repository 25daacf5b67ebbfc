#pragma once
// The fixture documents (tests/fixtures) whose page tree the library reads wrongly: it
// counts no pages, or pages that it can't reach. Each must be refused as unreadable.
namespace test_support {

inline constexpr const char* broken_page_trees[] = {
    "tree_pages_missing.pdf",    // the catalog has no /Pages
    "tree_pages_not_dict.pdf",   // the catalog's /Pages is a number
    "tree_count_missing.pdf",    // the root node has no /Count
    "tree_count_not_number.pdf", // the root node's /Count is a name
    "tree_count_zero.pdf",       // /Count 0 beside five kids
    "tree_kids_not_array.pdf",   // the root node's /Kids is a page, not an array
    "tree_page_missing.pdf",     // the third kid names no object
};

} // namespace test_support
