#pragma once
// Helpers of the engine tests: fixture paths and a private home for the settings store.
#include "test_support.h"

#include <string>

namespace engine_test {

inline std::string fixture(const std::string& name) { return std::string(QLT_FIXTURES_DIR) + "/" + name; }

// A fresh HOME and XDG_CONFIG_HOME while it lives, so that the settings store and the
// library's configuration file are the test's own.
using scoped_home = test_support::settings_home;

} // namespace engine_test
