#include "tk_command_line.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const cmd_option table[] = {
    {0, "--src="}, {1, "--dest="}, {2, "--pages="}, {3, "--pswd="}, {0, ""},
};

std::string header_assertion(int line) { return tk_assertion_code("..\\TK/tk_cmdli", line); }
std::string source_assertion(int line) { return tk_assertion_code("tk_cmdli", line); }

// argv as main gets it: the program's path first, then the arguments.
struct argument_list {
    explicit argument_list(std::vector<std::string> arguments) : texts(std::move(arguments))
    {
        texts.insert(texts.begin(), "/usr/bin/program");
        for (const auto& text : texts)
            pointers.push_back(text.c_str());
        pointers.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(texts.size()); }
    const char* const* argv() const { return pointers.data(); }

    std::vector<std::string> texts;
    std::vector<const char*> pointers;
};

template <class F> std::string assertion_of(F action)
{
    try {
        action();
    } catch (const tk_mail_assertion& e) {
        return e.what();
    }
    return "no assertion";
}

struct match_case {
    const char* argument;
    int id;
    const char* value;
};

TEST(ansi_cmd_line, matches_each_argument_by_case_sensitive_prefix)
{
    const match_case cases[] = {
        {"--src=a.pdf", 0, "a.pdf"},
        {"--src=", 0, ""},
        {"--dest=out dir/x.txt", 1, "out dir/x.txt"},
        {"--pages=1,3,5-10", 2, "1,3,5-10"},
        {"--pswd=--src=x", 3, "--src=x"},
        {"--src=--src=", 0, "--src="},
        {"--src", -1, "--src"},
        {"-src=a.pdf", -1, "-src=a.pdf"},
        {"--SRC=a.pdf", -1, "--SRC=a.pdf"},
        {"a.pdf", -1, "a.pdf"},
        {"", -1, ""},
    };
    for (const auto& c : cases) {
        const argument_list args({c.argument});
        ansi_cmd_line line(args.argc(), args.argv(), table);
        ASSERT_TRUE(line.has_more()) << c.argument;
        EXPECT_EQ(line.get_id(), c.id) << c.argument;
        EXPECT_STREQ(line.get_value(), c.value) << c.argument;
        // The value points into the caller's argument, just past the prefix.
        EXPECT_EQ(line.get_value(), args.pointers[1] + (std::strlen(c.argument) - std::strlen(c.value)));
        EXPECT_EQ(line.get_unmatched_count(), c.id == -1 ? 1 : 0) << c.argument;
    }
}

TEST(ansi_cmd_line, first_matching_row_wins)
{
    const cmd_option overlapping[] = {{5, "--p"}, {6, "--pages="}, {0, ""}};
    const argument_list args({"--pages=4"});
    ansi_cmd_line line(args.argc(), args.argv(), overlapping);
    EXPECT_EQ(line.get_id(), 5);
    EXPECT_STREQ(line.get_value(), "ages=4");
}

TEST(ansi_cmd_line, walks_every_argument_and_collects_the_unmatched_in_order)
{
    const argument_list args({"x", "--src=a", "--SRC=b", "--pswd=", "y"});
    ansi_cmd_line line(args.argc(), args.argv(), table);
    std::vector<std::pair<int, std::string>> seen;
    while (line.has_more()) {
        seen.emplace_back(line.get_id(), line.get_value());
        line.advance();
    }
    const std::vector<std::pair<int, std::string>> expected = {
        {-1, "x"}, {0, "a"}, {-1, "--SRC=b"}, {3, ""}, {-1, "y"}};
    EXPECT_EQ(seen, expected);
    ASSERT_EQ(line.get_unmatched_count(), 3);
    const auto unmatched = line.get_unmatched();
    EXPECT_STREQ(unmatched[0], "x");
    EXPECT_STREQ(unmatched[1], "--SRC=b");
    EXPECT_STREQ(unmatched[2], "y");
}

TEST(ansi_cmd_line, a_finished_walk_refuses_every_access)
{
    const argument_list one({"--src=a"});
    ansi_cmd_line line(one.argc(), one.argv(), table);
    line.advance();
    EXPECT_FALSE(line.has_more());
    EXPECT_EQ(assertion_of([&] { line.advance(); }), source_assertion(60));
    EXPECT_EQ(assertion_of([&] { line.get_id(); }), header_assertion(140));
    EXPECT_EQ(assertion_of([&] { line.get_value(); }), header_assertion(147));

    const argument_list none({});
    ansi_cmd_line empty(none.argc(), none.argv(), table);
    EXPECT_FALSE(empty.has_more());
    EXPECT_EQ(empty.get_unmatched_count(), 0);
    EXPECT_EQ(assertion_of([&] { empty.advance(); }), source_assertion(60));
    EXPECT_EQ(assertion_of([&] { empty.get_id(); }), header_assertion(140));
}

TEST(ansi_cmd_line, an_empty_argv_is_refused_before_it_is_read)
{
    const char* const nothing[] = {nullptr};
    EXPECT_EQ(assertion_of([&] { ansi_cmd_line line(0, nothing, table); }), source_assertion(19));
}

TEST(ansi_cmd_line, holds_twenty_unmatched_arguments_and_refuses_the_twenty_first)
{
    const argument_list twenty(std::vector<std::string>(20, "stray"));
    ansi_cmd_line line(twenty.argc(), twenty.argv(), table);
    while (line.has_more())
        line.advance();
    EXPECT_EQ(line.get_unmatched_count(), 20);

    const argument_list twenty_one(std::vector<std::string>(21, "stray"));
    EXPECT_EQ(assertion_of([&] {
                  ansi_cmd_line longer(twenty_one.argc(), twenty_one.argv(), table);
                  while (longer.has_more())
                      longer.advance();
              }),
              header_assertion(52));
}

} // namespace
