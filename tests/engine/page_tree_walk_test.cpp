// The walk of a page tree counts its leaves as the library takes them, so that a tree
// holding more pages than its count is found and one holding no more is let through.
#include "engine_test_support.h"
#include "pdf_library.h"
#include "pdf_page_tree.h"

#include <gtest/gtest.h>

namespace {

using engine_test::fixture;

TEST(pdf_page_tree_walk, counts_the_leaves_the_library_takes_for_pages)
{
    pdf_library library;
    const struct {
        const char* file;
        int count; // what the library counts
        bool more; // whether the tree holds more leaves
    } cases[] = {
        // Two nodes naming each other, the root naming both: four leaves (pages 2, 1, 1, 2)
        // for a count of 3. What a node holds where the other stands above it (and is cut
        // there) differs from what it holds below the root alone.
        {"tree_cycle_two_paths_count_under.pdf", 3, true},
        // Five leaves for a count of 3, two of them without /Type /Page (none, /Leaf): a
        // dictionary without /Kids is a page to the library whatever its type.
        {"tree_untyped_pages_count_under.pdf", 3, true},
        // Five pages for a count of 5, between them kids naming a stream, a number, null,
        // an array and a string: the library takes none of those for a page.
        {"tree_kids_not_dicts.pdf", 5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto doc = pdf_open_document(fixture(c.file), std::nullopt);
        ASSERT_EQ(doc->getNumPages(), c.count);
        EXPECT_EQ(pdf_page_tree_holds_more_than_count(*doc), c.more);
    }
}

} // namespace
