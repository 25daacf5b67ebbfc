#pragma once
// Helpers of the path tests: guards that put the current directory and the environment
// variables naming the user's folders back when a test ends, and the too-long check.
#include "message_table.h"
#include "tk_exception.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

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

class env_guard {
public:
    env_guard()
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~env_guard()
    {
        for (const auto& [name, value] : saved)
            set(name.c_str(), value ? value->c_str() : nullptr);
    }
    env_guard(const env_guard&) = delete;
    env_guard& operator=(const env_guard&) = delete;

    // Sets `name` to `value`, or removes it when `value` is null.
    static void set(const char* name, const char* value)
    {
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
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
