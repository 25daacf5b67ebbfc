#include "engine_test_support.h"
#include "tk_error_handler.h"
#include "tk_thread.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

using engine_test::stdout_to_stderr;

struct report_case {
    const char* name;
    std::string prefix;
    std::map<unsigned, std::string> messages;
    tk_exception error;
    std::string expected;
};

tk_exception with_code(const std::string& text, int code)
{
    tk_exception e(text, 1);
    e.code = code;
    return e;
}

TEST(error_handler, composes_the_report_text)
{
    const report_case cases[] = {
        {"own text, line feed to blank", "", {}, tk_exception("two\nwords", 1), "two words"},
        {"carriage return kept", "", {}, tk_exception("a\r\nb", 1), "a\r b"},
        {"prefix", "Lumetra", {}, tk_exception("Invalid page range", 1), "Lumetra: Invalid page range"},
        {"stored text for the code", "", {{5, "Access\ndenied"}}, with_code("own", 5), "Access denied"},
        {"empty stored text falls back", "", {{5, ""}}, with_code("own", 5), "own"},
        {"other code not found", "", {{5, "Access"}}, with_code("own", 6), "own"},
        {"negative code read unsigned", "", {{0xffffffffu, "minus one"}}, with_code("own", -1), "minus one"},
    };
    for (const report_case& c : cases) {
        SCOPED_TRACE(c.name);
        error_handler handler;
        handler.prefix = c.prefix;
        handler.converter.messages = c.messages;
        EXPECT_EQ(handler.report_text(c.error), c.expected);
    }
}

TEST(error_handler, starts_empty_and_registers_once)
{
    error_handler handler;
    EXPECT_EQ(error_handler::instance(), &handler);
    EXPECT_TRUE(handler.prefix.empty());
    EXPECT_FALSE(handler.quiet);
    EXPECT_TRUE(handler.help_topics.empty());
    EXPECT_TRUE(handler.converter.messages.empty());
    EXPECT_EQ(handler.converter.convert(0), "");
    EXPECT_THROW(error_handler second, tk_mail_assertion);
}

// The console presentation: level 0 (and any level but 1 and 2) prints and returns.
TEST(console_error_handler, prints_a_warning_and_returns)
{
    for (int level : {0, 5, -3}) {
        SCOPED_TRACE(level);
        error_handler handler;
        testing::internal::CaptureStdout();
        handler.handle(tk_exception("first\nsecond", level), false);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error:\nfirst second\n");

        handler.quiet = true;
        testing::internal::CaptureStdout();
        handler.handle(tk_exception("muted", level), false);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }
}

// Levels 1 and 2 end the process with -1; the child's standard output goes to its error
// stream so that the death test sees the report.
TEST(console_error_handler_death, an_error_ends_the_process)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    error_handler handler;
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            handler.handle(tk_exception("two\nwords", 1), true);
        },
        testing::ExitedWithCode(255), "^Error:\ntwo words\n$");
    handler.quiet = true;
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            handler.handle(tk_exception("silent", 1), false);
        },
        testing::ExitedWithCode(255), "^$");
}

TEST(console_error_handler_death, an_internal_error_keeps_its_line_feed)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    error_handler handler;
    handler.quiet = true; // plays no part at this level
    handler.prefix = "ignored";
    const tk_mail_assertion e("a", 1);
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            handler.handle(e, false);
        },
        testing::ExitedWithCode(255), "^Internal error: Internal error: \ncode=615c31\n$");
}


struct throwing_work : tk_thread_functor {
    void operator()() override { throw tk_exception("escaped\nthe worker", 1); }
};

struct throwing_thread : tk_thread {
    throwing_thread() : tk_thread(true) {}
    tk_thread_functor* create_functor() override
    {
        return new throwing_work;
    }
};

// An exception that escapes a worker reaches the error handler as an internal error.
TEST(console_error_handler_death, reports_an_exception_that_escaped_a_worker)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    error_handler handler;
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            throwing_thread thread;
            thread.start();
            // The handler ends the process; if it never does, the child returns and fails.
            std::this_thread::sleep_for(test_support::wait_limit);
        },
        testing::ExitedWithCode(255), "^Internal error: escaped\nthe worker\n$");
}

} // namespace
