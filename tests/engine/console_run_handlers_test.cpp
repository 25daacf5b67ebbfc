#include "front_end.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

TEST(init_conversion, marks_the_run_finished_when_it_ends)
{
    std::atomic<bool> finished {false};
    {
        init_conversion guard(&finished, 1);
        EXPECT_FALSE(finished);
        EXPECT_EQ(guard.no_com, 1);
    }
    EXPECT_TRUE(finished);
}

// A standard exception that ended a run is its text on the error stream, and a failure:
// exit code -1.
TEST(console_run_handlers_death, a_standard_exception_ends_the_program_with_its_text)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(report_run_failure(std::runtime_error("out of memory\nreally")), testing::ExitedWithCode(255),
                "^out of memory\nreally\n$");
}

} // namespace
