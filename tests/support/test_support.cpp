#include "test_support.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <grp.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace test_support {

namespace {

// Gives the owner full access to `folder` and every folder below it. A test may leave a
// folder that its owner cannot write or enter; root removes such folders anyway, an
// ordinary user only after this.
void open_folders_to_owner(const std::filesystem::path& folder)
{
    namespace fs = std::filesystem;
    std::error_code ignored;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    // Never throws: it runs in a destructor.
    std::error_code listing;
    for (fs::directory_iterator entry(folder, listing), end; !listing && entry != end; entry.increment(listing)) {
        if (entry->is_directory(ignored) && !entry->is_symlink(ignored))
            open_folders_to_owner(entry->path());
    }
}

void remove_folder(const std::filesystem::path& folder)
{
    std::error_code ignored;
    open_folders_to_owner(folder);
    std::filesystem::remove_all(folder, ignored);
}

// The temporary folders alive in this process, each with the process that made it. A
// process that ends through exit() while some are alive (a death test's child ends so,
// inside the test) removes its own at the exit; a forked child leaves its parent's alone.
struct live_folders {
    std::mutex mutex;
    std::map<std::filesystem::path, pid_t> makers;
};

void remove_folders_left_at_exit();

live_folders& live()
{
    // Never destroyed: the exit handler may run after the static destructors.
    static live_folders* const folders = [] {
        std::atexit(remove_folders_left_at_exit);
        return new live_folders;
    }();
    return *folders;
}

void remove_folders_left_at_exit()
{
    live_folders& folders = live();
    const std::lock_guard<std::mutex> lock(folders.mutex);
    for (const auto& [folder, maker] : folders.makers)
        if (maker == getpid())
            remove_folder(folder);
    folders.makers.clear();
}

} // namespace

temp_dir::temp_dir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "qlt-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    root = pattern;
    live_folders& folders = live();
    const std::lock_guard<std::mutex> lock(folders.mutex);
    folders.makers[root] = getpid();
}

temp_dir::~temp_dir()
{
    {
        live_folders& folders = live();
        const std::lock_guard<std::mutex> lock(folders.mutex);
        folders.makers.erase(root);
    }
    remove_folder(root);
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void write_file(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw std::system_error(errno, std::generic_category(), "write_file: cannot open " + path);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int write_error = errno;
    if (std::fclose(file) != 0 || !written)
        throw std::system_error(written ? errno : write_error, std::generic_category(),
                                "write_file: cannot write " + path);
}

void make_fifo(const std::string& path, mode_t mode)
{
    if (mkfifo(path.c_str(), mode) != 0)
        throw std::system_error(errno, std::generic_category(), "mkfifo " + path);
}

void set_mode(const std::string& path, mode_t mode)
{
    if (chmod(path.c_str(), mode) != 0)
        throw std::system_error(errno, std::generic_category(), "chmod " + path);
}

bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::chrono::microseconds pause {100};
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(10000));
    }
}

bool read_byte(int fd, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd ready {fd, POLLIN, 0};
        const int events = poll(&ready, 1, static_cast<int>(left.count()));
        if (events < 0 && errno == EINTR)
            continue;
        if (events <= 0)
            return false;
        char byte = 0;
        const ssize_t count = read(fd, &byte, 1);
        if (count < 0 && errno == EINTR)
            continue;
        return count == 1;
    }
}

std::optional<int> wait_for_child(pid_t child, std::chrono::milliseconds limit)
{
    int status = 0;
    pid_t ended = 0;
    const bool done = wait_until(
        [&] {
            do
                ended = waitpid(child, &status, WNOHANG);
            while (ended == -1 && errno == EINTR);
            return ended != 0;
        },
        limit);
    if (!done) {
        std::fprintf(stderr, "wait_for_child: child %d still ran after %lld ms and was killed\n",
                     static_cast<int>(child), static_cast<long long>(limit.count()));
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return std::nullopt;
    }
    if (ended != child)
        return std::nullopt;
    return status;
}

int exit_code_of(const std::optional<int>& status)
{
    return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

std::set<std::string> files_below(const std::filesystem::path& root)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        names.insert(entry.path().lexically_relative(root).string());
    return names;
}

bool drop_privileges()
{
    if (geteuid() != 0)
        return true;
    return setgroups(0, nullptr) == 0 && setgid(unprivileged_gid) == 0 && setuid(unprivileged_uid) == 0;
}

namespace {

// Runs `body` in a forked child once `prepare` has made it ready (255 when it could not);
// gives what run_unprivileged gives. `caller` names the helper in the message of a child
// that hangs.
int run_in_child(const char* caller, const std::function<bool()>& prepare, const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (!prepare())
            _exit(255);
        int result = 255;
        try {
            result = body();
        } catch (...) {
            result = 254;
        }
        _exit(result & 0xff);
    }
    // A child that hangs is killed after the wait, so that the test fails instead of
    // waiting for good.
    const std::optional<int> status = wait_for_child(child, unprivileged_wait);
    if (!status)
        std::fprintf(stderr, "%s: its child did not end well\n", caller);
    const int code = exit_code_of(status);
    return code == 255 ? -1 : code;
}

} // namespace

int run_unprivileged(const std::function<int()>& body)
{
    return run_in_child("run_unprivileged", drop_privileges, body);
}

bool limit_file_size(std::size_t bytes)
{
    const rlimit limit {bytes, bytes};
    return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

int run_with_file_size_limit(std::size_t bytes, const std::function<int()>& body)
{
    return run_in_child("run_with_file_size_limit", [bytes] { return limit_file_size(bytes); }, body);
}

void open_to_everyone(const std::filesystem::path& path)
{
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::all, fs::perm_options::add);
    // The temporary folder's parent must be passable too; /tmp already is.
}

void open_tree_to_everyone(const std::filesystem::path& root)
{
    open_to_everyone(root);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        open_to_everyone(entry.path());
}

void set_env(const char* name, const char* value)
{
    if (value != nullptr)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

scoped_env::scoped_env(const char* name_) : name(name_)
{
    if (const char* current = std::getenv(name_))
        saved = current;
}

scoped_env::scoped_env(const char* name_, const std::string& value) : scoped_env(name_)
{
    setenv(name_, value.c_str(), 1);
}

scoped_env::~scoped_env() { set_env(name.c_str(), saved ? saved->c_str() : nullptr); }

settings_home::settings_home()
    : home_variable("HOME", home.path().string()), config_variable("XDG_CONFIG_HOME", config().string())
{
}

} // namespace test_support
