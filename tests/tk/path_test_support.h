#pragma once
// Helpers of the path tests: guards that put the current directory and the environment
// variables naming the user's folders back when a test ends, and the too-long check.
#include "message_table.h"
#include "test_support.h"
#include "tk_exception.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace path_test {

class cwd_guard {
public:
    cwd_guard() : saved(std::filesystem::current_path()) {}
    ~cwd_guard()
    {
        std::error_code ignored;
        std::filesystem::current_path(saved, ignored);
    }
    cwd_guard(const cwd_guard&) = delete;
    cwd_guard& operator=(const cwd_guard&) = delete;

private:
    std::filesystem::path saved;
};

// Puts back the variables that name the user's folders when the test ends.
class env_guard {
public:
    // Sets `name` to `value`, or removes it when `value` is null.
    static void set(const char* name, const char* value) { test_support::set_env(name, value); }

private:
    test_support::scoped_env home{"HOME"};
    test_support::scoped_env config{"XDG_CONFIG_HOME"};
    test_support::scoped_env data{"XDG_DATA_HOME"};
};

// Replaces each `mark` of `pattern` with `value`.
inline std::string expand(const std::string& pattern, const std::string& value, char mark = '@')
{
    std::string result;
    for (char c : pattern)
        result += c == mark ? value : std::string(1, c);
    return result;
}

// `action` must refuse its name as too long: a level-1 error that says so.
inline void expect_too_long(const std::function<void()>& action)
{
    try {
        action();
        ADD_FAILURE() << "not refused";
    } catch (const tk_exception& e) {
        EXPECT_EQ(e.message, msg::path_too_long);
        EXPECT_EQ(e.level, 1);
    }
}

} // namespace path_test
