#pragma once
// The fixture documents (tests/fixtures) whose page tree the library reads wrongly. Each
// must be refused as unreadable: the first kind when the document is opened, the second
// by a run over the whole document, since finding their fault means walking the tree or
// converting the pages. Either way before the destination is written.
#include <cstring>

namespace test_support {

inline constexpr const char* page_trees_refused_at_opening[] = {
    "tree_pages_missing.pdf",    // the catalog has no /Pages
    "tree_pages_not_dict.pdf",   // the catalog's /Pages is a number
    "tree_count_missing.pdf",    // the root node has no /Count
    "tree_count_not_number.pdf", // the root node's /Count is a name
    "tree_count_zero.pdf",       // /Count 0 beside five kids
};

// Trees that hold other pages than the library counts: five pages each, unless the line
// says otherwise.
inline constexpr const char* page_trees_refused_by_a_whole_run[] = {
    "tree_kids_not_array.pdf",    // the root node's /Kids is a page, not an array
    "tree_page_missing.pdf",      // the third kid names no object
    "tree_cycle.pdf",             // the third kid is the root again
    "tree_page_not_made.pdf",     // the fifth page's /Contents is a number
    "tree_count_over.pdf",        // /Count 7
    "tree_count_under.pdf",       // /Count 3
    "tree_count_fraction.pdf",    // /Count 2.9, read as 2
    "tree_count_exponent.pdf",    // /Count 1e300, read as 1
    "linearized_count_under.pdf", // linearized, its /N says 2
    // Two nodes naming each other, the root naming both: pages 2, 1, 1, 2 and /Count 3.
    "tree_cycle_two_paths_count_under.pdf",
    "tree_untyped_pages_count_under.pdf", // /Count 3; pages 4 and 5 not of /Type /Page
};

// Those of the second kind whose tree holds more pages than the library counts: the walk
// that a whole-document run makes before its first page finds them. At the others the
// library can't make a page that it counts, which shows when the run comes to that page.
inline constexpr const char* page_trees_beyond_their_count[] = {
    "tree_count_under.pdf",
    "tree_count_fraction.pdf",
    "tree_count_exponent.pdf",
    "linearized_count_under.pdf",
    "tree_cycle_two_paths_count_under.pdf",
    "tree_untyped_pages_count_under.pdf",
};

inline bool holds_more_than_its_count(const char* file)
{
    for (const char* beyond : page_trees_beyond_their_count)
        if (std::strcmp(beyond, file) == 0)
            return true;
    return false;
}

} // namespace test_support
