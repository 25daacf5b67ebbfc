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
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
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
        throw std::runtime_error("mkdtemp failed");
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
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
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
    const auto deadline = std::chrono::steady_clock::now() + unprivileged_wait;
    int status = 0;
    pid_t ended = 0;
    std::chrono::milliseconds pause {1};
    for (;;) {
        ended = waitpid(child, &status, WNOHANG);
        if (ended == -1 && errno == EINTR)
            continue;
        if (ended != 0 || std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    if (ended == 0) {
        std::fprintf(stderr, "%s: the child still ran after %lld s and was killed\n", caller,
                     static_cast<long long>(unprivileged_wait.count()));
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return -1;
    }
    if (ended != child || !WIFEXITED(status))
        return -1;
    const int code = WEXITSTATUS(status);
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
