#include "message_table.h"
#include "page_range.h"
#include "tk_exception.h"

#include <gtest/gtest.h>

namespace {

using pages = std::vector<std::uint32_t>;

struct range_case {
    const char* text;
    bool valid;
    pages list; // the result, or what the list holds after the error
};

const range_case cases[] = {
    {"", true, {}},
    {"5", true, {5}},
    {" 7 ", true, {7}},
    {"1,3,5", true, {1, 3, 5}},
    {"10, 2-4", true, {10, 2, 3, 4}},
    {"1-3,2", true, {1, 2, 3, 2}},
    {"1 - 3", true, {1, 2, 3}},
    {"+5", true, {5}},
    {"7x", true, {7}},
    {"\t9", true, {9}}, // the number reading skips any white space, trimming only blanks
    {"99999999999", true, {2147483647}},
    {"2147483646-99999999999", true, {2147483646, 2147483647}},
    {"3-3", false, {}},
    {"5-3", false, {}},
    {"0", false, {}},
    {"x7", false, {}},
    {"-5", false, {}},
    {"5-", false, {}},
    {"1-2-3", false, {}},
    {"1,,2", false, {1}},
    {"2,4,", false, {2, 4}},
    {"   ", false, {}},
    {"1,2-x,9", false, {1}},
    {",1", false, {}},
};

TEST(page_range, reads_the_table_of_texts)
{
    for (const range_case& c : cases) {
        SCOPED_TRACE(std::string("text <") + c.text + ">");
        pages list;
        if (c.valid) {
            EXPECT_NO_THROW(parse_page_range(c.text, list));
        } else {
            try {
                parse_page_range(c.text, list);
                ADD_FAILURE() << "accepted";
            } catch (const tk_exception& e) {
                EXPECT_STREQ(e.what(), msg::invalid_page_range);
                EXPECT_EQ(e.level, 1);
                EXPECT_EQ(e.code, 0);
            }
        }
        EXPECT_EQ(list, c.list);
    }
}

// A text may not expand to more than a million entries in all, however it is spread.
TEST(page_range, refuses_an_expansion_beyond_the_bound)
{
    pages list;
    EXPECT_NO_THROW(parse_page_range("1-1000000", list));
    EXPECT_EQ(list.size(), page_range_max_entries);

    const char* too_many[] = {"1-1000001", "1-2147483647", "1-999999,5,6", "1-500000,1-500000,7"};
    for (const char* text : too_many) {
        SCOPED_TRACE(text);
        list.clear();
        EXPECT_THROW(parse_page_range(text, list), tk_exception);
        EXPECT_LE(list.size(), page_range_max_entries);
    }
    list.clear();
    EXPECT_NO_THROW(parse_page_range("1-999999,5", list));
    EXPECT_EQ(list.size(), page_range_max_entries);
}

} // namespace
