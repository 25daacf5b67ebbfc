#pragma once
// Helpers shared by the tests: temporary folders, file reading, unprivileged children.
#include <filesystem>
#include <functional>
#include <string>

namespace test_support {

// A fresh folder below the system's temporary folder, removed with its contents at the end.
class temp_dir {
public:
    temp_dir();
    ~temp_dir();
    temp_dir(const temp_dir&) = delete;
    temp_dir& operator=(const temp_dir&) = delete;

    const std::filesystem::path& path() const { return root; }
    std::string file(const std::string& name) const { return (root / name).string(); }

private:
    std::filesystem::path root;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);

// The user id the unprivileged children run as ("nobody").
inline constexpr unsigned unprivileged_uid = 65534;
inline constexpr unsigned unprivileged_gid = 65534;

// Gives up root's privileges for good, as the unprivileged user; false when that failed.
bool drop_privileges();

// Runs `body` in a forked child that has dropped root's privileges; returns the value
// that `body` returned, or -1 when the child could not drop them or died.
int run_unprivileged(const std::function<int()>& body);

// Makes a folder and what it holds reachable for the unprivileged user (for the
// folders the children work in).
void open_to_everyone(const std::filesystem::path& path);

// Points HOME and XDG_CONFIG_HOME at a fresh folder for as long as it lives, so that the
// settings store of the code under test stays inside it; the old values come back after.
class settings_home {
public:
    settings_home();
    ~settings_home();
    settings_home(const settings_home&) = delete;
    settings_home& operator=(const settings_home&) = delete;

    const std::filesystem::path& path() const { return home.path(); }
    // The configuration folder that XDG_CONFIG_HOME names.
    std::filesystem::path config() const { return home.path() / ".config"; }

private:
    temp_dir home;
    std::string old_home, old_xdg;
    bool had_home, had_xdg;
};

} // namespace test_support
