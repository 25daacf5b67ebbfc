#pragma once
// Helpers shared by the tests: temporary folders, file reading, unprivileged children.
//
// A helper that makes something (a file, a FIFO, a mode) throws when it could not, with
// the path and the system's reason, so that a test whose set-up fails ends at once and says
// why instead of going on without what it needs. Every wait here has a deadline.
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <sys/types.h>

namespace test_support {

// A fresh folder below the system's temporary folder, removed with its contents at the end,
// or at the exit of a process that ends through exit() while it lives.
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
// Creates or empties the file and writes `bytes` into it; throws when any step fails.
void write_file(const std::string& path, const std::string& bytes);
// Makes a FIFO, or sets a file's mode bits; both throw when they fail.
void make_fifo(const std::string& path, mode_t mode = 0600);
void set_mode(const std::string& path, mode_t mode);

// How long a test waits for what a healthy run gives in milliseconds, also under the
// sanitizers on a busy machine. A wait that reaches it fails the test, so a test program
// ends without ctest's time limit.
inline constexpr std::chrono::seconds wait_limit {30};

// Asks `condition` again and again, pausing in between, until it holds or `limit` has
// passed; whether it held.
bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds limit = wait_limit);

// Reads one byte from `fd` within `limit`: false when every writer has closed its end, a
// read failed or the time ran out.
bool read_byte(int fd, std::chrono::milliseconds limit = wait_limit);

// Waits for the forked `child` to end, for at most `limit`. A child still running then is
// killed, and the error stream says so. Its wait status; none when it had to be killed or
// could not be waited for.
std::optional<int> wait_for_child(pid_t child, std::chrono::milliseconds limit = wait_limit);
// The exit code of a child that exited; -1 for one that a signal ended or that had to be
// killed.
int exit_code_of(const std::optional<int>& status);

// The paths of every file and folder below `root`, relative to it.
std::set<std::string> files_below(const std::filesystem::path& root);

// The user id a child of root runs as ("nobody").
inline constexpr unsigned unprivileged_uid = 65534;
inline constexpr unsigned unprivileged_gid = 65534;

// Makes the calling process one that file mode bits apply to: root gives up its
// privileges for good and becomes "nobody"; an ordinary user already is such a process
// and stays as it is. False when root could not drop them.
bool drop_privileges();

// How long run_unprivileged waits for its child: far longer than any test's child takes.
inline constexpr std::chrono::seconds unprivileged_wait {120};

// Runs `body` in a forked child that has called drop_privileges(); returns the value
// that `body` returned, or -1 when the child could not drop them, died, or still ran after
// unprivileged_wait (it is then killed, and the error stream says so).
int run_unprivileged(const std::function<int()>& body);

// Makes the calling process unable to write files past `bytes` bytes, as on a disk that
// is full by then: a write past the limit fails with EFBIG instead of raising SIGXFSZ.
// The limit is kept by the programs that the process starts. False when it could not.
bool limit_file_size(std::size_t bytes);

// Runs `body` in a forked child under limit_file_size(`bytes`); gives what
// run_unprivileged gives.
int run_with_file_size_limit(std::size_t bytes, const std::function<int()>& body);

// Makes a folder and what it holds reachable for the unprivileged user (for the
// folders the children work in); harmless when that user is the owner.
void open_to_everyone(const std::filesystem::path& path);
// The same for `root` and everything below it (a home the children store settings in).
void open_tree_to_everyone(const std::filesystem::path& root);

// Sets environment variable `name` to `value`, or removes it when `value` is null.
void set_env(const char* name, const char* value);

// Keeps environment variable `name` as it is at the start and puts that back (or removes
// the variable again) when it goes; with a value, sets the variable to it meanwhile.
class scoped_env {
public:
    explicit scoped_env(const char* name);
    scoped_env(const char* name, const std::string& value);
    ~scoped_env();
    scoped_env(const scoped_env&) = delete;
    scoped_env& operator=(const scoped_env&) = delete;

private:
    std::string name;
    std::optional<std::string> saved;
};

// Points HOME and XDG_CONFIG_HOME at a fresh folder for as long as it lives, so that the
// settings store of the code under test stays inside it; the old values come back after.
class settings_home {
public:
    settings_home();

    const std::filesystem::path& path() const { return home.path(); }
    std::string file(const std::string& name) const { return home.file(name); }
    // The configuration folder that XDG_CONFIG_HOME names.
    std::filesystem::path config() const { return home.path() / ".config"; }

private:
    temp_dir home;
    scoped_env home_variable;
    scoped_env config_variable;
};

} // namespace test_support
