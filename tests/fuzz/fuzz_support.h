#pragma once
// Helpers of the fuzz targets: a private settings home for the whole fuzzing process, so
// that no target reads or changes the settings or the configuration file of the user
// who runs it, and scratch files inside it.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz_support {

// Points HOME and XDG_CONFIG_HOME at a fresh folder on the first call; the folder is
// removed when the process exits.
inline const std::filesystem::path& private_home()
{
    static const std::filesystem::path home = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "qlt_fuzz_XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        setenv("HOME", pattern.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (pattern + "/.config").c_str(), 1);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(private_home(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return home;
}

inline std::string scratch_file(const std::string& name) { return (private_home() / name).string(); }

inline std::string as_text(const std::uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

} // namespace fuzz_support
