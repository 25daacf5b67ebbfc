#include "tk_exception.h"

#include "plat_error.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

struct assertion_case {
    const char* name; // the case's name in the test's name
    const char* file;
    int line;
    const char* digits;
};

void PrintTo(const assertion_case& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.file)) << " line " << c.line;
}

class assertion_code : public ::testing::TestWithParam<assertion_case> {};

TEST_P(assertion_code, hex_digits_of_source_backslash_line)
{
    const auto& c = GetParam();
    EXPECT_EQ(tk_assertion_code(c.file, c.line), std::string("Internal error: \ncode=") + c.digits);
    const tk_mail_assertion assertion(c.file, c.line);
    EXPECT_STREQ(assertion.what(), (std::string("Internal error: \ncode=") + c.digits).c_str());
    EXPECT_EQ(assertion.level, 2);
    EXPECT_EQ(assertion.code, 0);
}

INSTANTIATE_TEST_SUITE_P(cases, assertion_code,
    ::testing::Values(assertion_case {"one_letter_source", "a", 1, "615c31"},
                      assertion_case {"source_with_folders", "..\\TK/tk_singl", 35, "2e2e5c544b2f746b5f73696e676c5c3335"},
                      assertion_case {"high_byte_and_negative_line", "\xff", -7, "ff5c2d37"},
                      assertion_case {"empty_source_line_0", "", 0, "5c30"}),
    [](const ::testing::TestParamInfo<assertion_case>& info) { return std::string(info.param.name); });

TEST(assertion_code, long_source_is_cut_to_275_characters)
{
    const std::string source(400, 'x');
    const std::string code = tk_assertion_code(source.c_str(), 12);
    const std::string head = "Internal error: \ncode=";
    ASSERT_EQ(code.size(), head.size() + 550);
    EXPECT_EQ(code.substr(code.size() - 2), "78");
}

TEST(tk_exception, texts_codes_and_levels)
{
    EXPECT_STREQ(tk_exception("", 1).what(), "Unknown exception");
    EXPECT_EQ(tk_exception("", 1).code, 0);
    EXPECT_STREQ(tk_exception(2).what(), "Unknown exception");
    EXPECT_EQ(tk_exception(2).level, 2);
    const tk_exception e("two\nlines", 1);
    EXPECT_STREQ(e.what(), "two\nlines");
    EXPECT_EQ(e.level, 1);

    const pdf_wrong_pswd_exception p;
    EXPECT_STREQ(p.what(), "Incorrect password");
    EXPECT_EQ(p.code, 0);
    EXPECT_EQ(p.level, 1);
}

TEST(tk_exception, copies_member_by_member)
{
    tk_exception original("text", 1);
    original.code = 42;
    const tk_exception copy(original);
    EXPECT_STREQ(copy.what(), "text");
    EXPECT_EQ(copy.code, 42);
    EXPECT_EQ(copy.level, 1);
    EXPECT_EQ(sizeof(tk_exception_ex), sizeof(tk_exception));
    EXPECT_EQ(sizeof(tk_mail_assertion), sizeof(tk_exception));
    EXPECT_EQ(sizeof(pdf_wrong_pswd_exception), sizeof(tk_exception));
}

TEST(tk_exception_ex, takes_the_last_system_error_and_its_text)
{
    plat::set_last_error(EACCES);
    const tk_exception_ex e;
    EXPECT_EQ(e.code, EACCES);
    EXPECT_EQ(e.level, 1);
    std::string text;
    ASSERT_TRUE(plat::error_text(EACCES, text));
    EXPECT_EQ(e.what(), text);
}

TEST(tk_exception_ex, code_without_system_text_keeps_unknown_exception)
{
    plat::set_last_error(987654);
    const tk_exception_ex e;
    EXPECT_EQ(e.code, 987654);
    EXPECT_STREQ(e.what(), "Unknown exception");
    EXPECT_EQ(e.level, 1);
}

// The catch order of the conversion runs: final first, then the family, then standard.
std::string caught_by(const std::function<void()>& thrower)
{
    try {
        try {
            thrower();
        } catch (const tk_exception& e) {
            return "tk_exception";
        }
    } catch (const tk_final_exception&) {
        return "passed tk_exception, caught as final";
    } catch (const std::exception&) {
        return "std::exception";
    }
    return "nothing";
}

TEST(catching, tk_exception_handler_lets_final_exception_pass)
{
    EXPECT_EQ(caught_by([] { throw tk_final_exception(); }), "passed tk_exception, caught as final");
    EXPECT_EQ(caught_by([] { throw pdf_wrong_pswd_exception(); }), "tk_exception");
    EXPECT_EQ(caught_by([] { throw tk_mail_assertion("a", 1); }), "tk_exception");
    EXPECT_EQ(caught_by([] { throw std::bad_alloc(); }), "std::exception");
    try {
        throw tk_final_exception();
    } catch (const std::exception& e) {
        SUCCEED();
    }
}

TEST(tk_verify, throws_the_assertion_only_when_the_check_fails)
{
    EXPECT_NO_THROW(tk_verify(true, "src", 3));
    try {
        tk_verify(false, "a", 1);
        FAIL();
    } catch (const tk_mail_assertion& e) {
        EXPECT_EQ(std::string(e.what()), "Internal error: \ncode=615c31");
    }
}

} // namespace
