#pragma once
// Helpers of the engine tests: fixture paths, a private home for the settings store, and
// the console's report made visible to a death test.
#include "test_support.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace engine_test {

inline std::string fixture(const std::string& name) { return std::string(QLT_FIXTURES_DIR) + "/" + name; }

// A fresh HOME and XDG_CONFIG_HOME while it lives, so that the settings store and the
// library's configuration file are the test's own.
using scoped_home = test_support::settings_home;

// In a death test's child: what the code prints on the standard output goes to the
// error stream, which the death test matches.
inline void stdout_to_stderr()
{
    std::fflush(stdout);
    dup2(2, 1);
}

} // namespace engine_test
