#pragma once
// Helpers of the engine tests: fixture paths and a document's text as the engine writes it.
#include <string>

namespace engine_test {

inline std::string fixture(const std::string& name) { return std::string(QLT_FIXTURES_DIR) + "/" + name; }

} // namespace engine_test
