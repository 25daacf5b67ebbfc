#pragma once
// Helpers of the engine tests: fixture paths and a private home for the settings store.
#include "test_support.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace engine_test {

inline std::string fixture(const std::string& name) { return std::string(QLT_FIXTURES_DIR) + "/" + name; }

// Points HOME and XDG_CONFIG_HOME at a fresh folder while it lives, so that the settings
// store and the library's configuration file are the test's own.
class scoped_home {
public:
    scoped_home() : old_home(get("HOME")), old_config(get("XDG_CONFIG_HOME"))
    {
        setenv("HOME", dir.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    }
    ~scoped_home()
    {
        restore("HOME", old_home);
        restore("XDG_CONFIG_HOME", old_config);
    }
    scoped_home(const scoped_home&) = delete;
    scoped_home& operator=(const scoped_home&) = delete;

    std::string file(const std::string& name) const { return dir.file(name); }
    const std::filesystem::path& path() const { return dir.path(); }

private:
    static std::optional<std::string> get(const char* name)
    {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    }
    static void restore(const char* name, const std::optional<std::string>& value)
    {
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }

    test_support::temp_dir dir;
    std::optional<std::string> old_home;
    std::optional<std::string> old_config;
};

} // namespace engine_test
