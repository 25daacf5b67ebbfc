#include "tk_text.h"

#include "test_support.h"
#include "tk_log.h"

#include <gtest/gtest.h>

namespace {

struct trim_case {
    std::string text;
    std::string left;
    std::string right;
    std::string both;
};

void PrintTo(const trim_case& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class text_trim : public ::testing::TestWithParam<trim_case> {};

TEST_P(text_trim, removes_spaces_only)
{
    const auto& c = GetParam();
    EXPECT_EQ(tk_ltrim(c.text), c.left);
    EXPECT_EQ(tk_rtrim(c.text), c.right);
    EXPECT_EQ(tk_trim(c.text), c.both);
}

INSTANTIATE_TEST_SUITE_P(cases, text_trim,
    ::testing::Values(trim_case {"  a b  ", "a b  ", "  a b", "a b"},
                      trim_case {"\ta ", "\ta ", "\ta", "\ta"},
                      trim_case {" \n\r ", "\n\r ", " \n\r", "\n\r"},
                      trim_case {"   ", "", "", ""},
                      trim_case {" ", "", "", ""},
                      trim_case {"", "", "", ""},
                      trim_case {"x", "x", "x", "x"}));

TEST(text_trim_log, only_an_all_blank_text_cut_from_the_right_is_logged)
{
    test_support::temp_dir dir;
    tk_log_settings settings(dir.file("log.txt"), 0, false, true, false);
    tk_ltrim("   ");
    tk_rtrim("");
    tk_rtrim(" a ");
    EXPECT_EQ(test_support::read_file(settings.file_name), "");
    tk_rtrim("   ");
    EXPECT_EQ(test_support::read_file(settings.file_name), "Special processing for all-spaces-string");
}

struct split_case {
    std::string text;
    std::vector<std::string> pieces;
};

void PrintTo(const split_case& c, std::ostream* os) { *os << '"' << c.text.c_str() << '"'; }

class text_split : public ::testing::TestWithParam<split_case> {};

TEST_P(text_split, cuts_at_every_separator)
{
    EXPECT_EQ(tk_split(GetParam().text, ','), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(cases, text_split,
    ::testing::Values(split_case {"", {}},
                      split_case {"1,2", {"1", "2"}},
                      split_case {",", {"", ""}},
                      split_case {"a,,b", {"a", "", "b"}},
                      split_case {"a,", {"a", ""}},
                      split_case {",a", {"", "a"}},
                      split_case {"1-3 ;5", {"1-3 ;5"}},
                      // The text ends at its first NUL.
                      split_case {std::string("a,b\0,c", 6), {"a", "b"}},
                      split_case {std::string("\0,c", 3), {""}}));

} // namespace
