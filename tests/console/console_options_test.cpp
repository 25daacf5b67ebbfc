// The console program's walk over its options, in the test's own process.
#include "console_options.h"
#include "quillet_convertor.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

struct options_case {
    const char* name;
    std::vector<const char*> arguments; // after the program's name
    bool all_recognised;
    const char* src;
    const char* dest;
    const char* pswd;
    const char* pages; // the converter's range text afterwards
    std::vector<std::uint32_t> page_list;
    const char* thrown = nullptr; // the text of the exception that ends the walk
};

void PrintTo(const options_case& c, std::ostream* out) { *out << c.name; }

const options_case cases[] = {
    {"program_name_only", {}, true, "", "", "", "", {}},
    {"every_option", {"--src=a.pdf", "--dest=b.txt", "--pages=3,1-2", "--pswd=p"}, true, "a.pdf", "b.txt", "p",
     "3,1-2", {3, 1, 2}},
    {"last_occurrence_wins", {"--src=x", "--pages=1", "--src=y", "--pages=4"}, true, "y", "", "", "4", {4}},
    {"only_the_prefix_is_matched", {"--pswd=--src=x"}, true, "", "", "--src=x", "", {}},
    // The walk goes on past an unrecognised argument.
    {"unrecognised_arguments", {"--src", "--dest=d", "-pages=1", "--SRC=a"}, false, "", "d", "", "", {}},
    // An invalid range ends the walk at once; what came before it is stored.
    {"invalid_range_ends_the_walk", {"--src=a", "--pages=2,0", "--dest=b"}, false, "a", "", "", "2,0", {2},
     "Invalid page range"},
};

class parse_cmd_line_cases : public testing::TestWithParam<options_case> {};

TEST_P(parse_cmd_line_cases, stores_each_option)
{
    const options_case& c = GetParam();
    test_support::settings_home home;
    quillet_convertor converter;
    converter.set_page_range("");
    cmd_src.clear();
    cmd_dest.clear();
    cmd_pswd.clear();

    std::vector<const char*> argv = {"QLTAGENT"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    argv.push_back(nullptr);
    std::optional<bool> recognised;
    std::string thrown;
    try {
        recognised = parse_cmd_line(static_cast<int>(argv.size()) - 1, argv.data());
    } catch (const tk_exception& e) {
        thrown = e.what();
    }
    if (c.thrown != nullptr) {
        EXPECT_EQ(thrown, c.thrown);
    } else {
        EXPECT_EQ(recognised, c.all_recognised);
    }
    EXPECT_EQ(cmd_src, c.src);
    EXPECT_EQ(cmd_dest, c.dest);
    EXPECT_EQ(cmd_pswd, c.pswd);
    EXPECT_EQ(converter.pages, c.pages);
    EXPECT_EQ(converter.page_list, c.page_list);
}

INSTANTIATE_TEST_SUITE_P(cases, parse_cmd_line_cases, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<options_case>& info) { return info.param.name; });

TEST(parse_cmd_line, a_page_range_needs_the_converter)
{
    const char* const argv[] = {"QLTAGENT", "--pages=1", nullptr};
    try {
        parse_cmd_line(2, argv);
        FAIL() << "no assertion";
    } catch (const tk_mail_assertion& e) {
        EXPECT_EQ(e.what(), tk_assertion_code("..\\TK/tk_singl", 59));
    }
}

} // namespace
