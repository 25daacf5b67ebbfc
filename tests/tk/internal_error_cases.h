#pragma once
// Runs calls that must each raise the internal error of one source at a given line.
#include "tk_exception.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

struct internal_error_case {
    int line;
    std::function<void()> call;
};

inline void expect_internal_errors(const char* source, const std::vector<internal_error_case>& cases)
{
    for (const internal_error_case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << "no internal error for line " << c.line;
        } catch (const tk_mail_assertion& e) {
            EXPECT_EQ(e.what(), tk_assertion_code(source, c.line));
            EXPECT_EQ(e.level, 2);
        }
    }
}
