#include "qltagent_process.h"

#include "test_support.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qltagent_process {

namespace {

// The parent's environment (so sanitizer options reach the child) with the two homes replaced.
std::vector<std::string> child_environment(const std::filesystem::path& home)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "HOME=", 5) != 0 && std::strncmp(*entry, "XDG_CONFIG_HOME=", 16) != 0)
            entries.emplace_back(*entry);
    }
    entries.push_back("HOME=" + home.string());
    entries.push_back("XDG_CONFIG_HOME=" + (home / ".config").string());
    return entries;
}

// The build and source trees need not be open to other users: an unprivileged child
// gets its own copies, in its home, of the program and of a leak checker's suppressions.
void stage_for_unprivileged(const std::filesystem::path& home, std::string& program,
                            std::vector<std::string>& environment)
{
    namespace fs = std::filesystem;
    const fs::path copy = home / "QLTAGENT";
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
    fs::permissions(copy, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    program = copy.string();

    const std::string key = "suppressions=";
    for (auto& entry : environment) {
        if (entry.rfind("LSAN_OPTIONS=", 0) != 0)
            continue;
        const std::size_t start = entry.find(key);
        if (start == std::string::npos)
            continue;
        const std::size_t from = start + key.size();
        const std::size_t end = std::min(entry.find(':', from), entry.size());
        const fs::path suppressions = home / "lsan.supp";
        fs::copy_file(entry.substr(from, end - from), suppressions, fs::copy_options::overwrite_existing);
        fs::permissions(suppressions, fs::perms::others_read, fs::perm_options::add);
        entry.replace(from, end - from, suppressions.string());
    }
}

std::vector<char*> pointers_of(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (auto& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::string contents(std::FILE* file)
{
    std::string bytes;
    std::rewind(file);
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, count);
    std::fclose(file);
    return bytes;
}

// A child started, with the files its two streams go to.
struct started {
    pid_t pid = -1;
    unsigned time_limit_seconds = 1; // its alarm
    std::FILE* out = nullptr;
    std::FILE* err = nullptr;
};

// Starts `program` with `leading` arguments before those of `how`; the descriptors
// `kept_open` reach it, all others that are marked so close.
started start(std::string program, const std::vector<std::string>& leading, const launch& how)
{
    std::vector<std::string> environment = child_environment(how.home);
    if (how.unprivileged)
        stage_for_unprivileged(how.home, program, environment);
    std::vector<std::string> arguments = leading;
    arguments.insert(arguments.begin(), program);
    arguments.insert(arguments.end(), how.arguments.begin(), how.arguments.end());
    std::vector<char*> argv = pointers_of(arguments);
    std::vector<char*> envp = pointers_of(environment);

    // Files, not pipes: the child can write any amount without waiting for the parent.
    started child;
    child.time_limit_seconds = std::max(how.time_limit_seconds, 1u);
    child.out = std::tmpfile();
    child.err = std::tmpfile();
    if (child.out == nullptr || child.err == nullptr)
        throw std::runtime_error("tmpfile failed");

    child.pid = fork();
    if (child.pid < 0)
        throw std::runtime_error("fork failed");
    if (child.pid == 0) {
        if (dup2(fileno(child.out), STDOUT_FILENO) < 0 || dup2(fileno(child.err), STDERR_FILENO) < 0)
            _exit(127);
        if (chdir(how.cwd.c_str()) != 0)
            _exit(127);
        if (how.unprivileged && !test_support::drop_privileges())
            _exit(127);
        if (how.file_size_limit > 0 && !test_support::limit_file_size(how.file_size_limit))
            _exit(127);
        // The alarm outlives execve: a program that hangs is ended by its signal.
        alarm(child.time_limit_seconds);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    return child;
}

result finish(const started& child)
{
    // A program that keeps running past its alarm (it blocked or caught the signal) is killed
    // a little later.
    const std::optional<int> ended =
        test_support::wait_for_child(child.pid, std::chrono::seconds(child.time_limit_seconds + 10));
    if (!ended)
        throw std::runtime_error("the program did not end after its alarm and was killed");
    const int status = *ended;
    result done;
    done.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    done.out = contents(child.out);
    done.err = contents(child.err);
    return done;
}

} // namespace

bool result::timed_out() const { return exit_code == 1000 + SIGALRM; }

std::string program_path() { return QLT_BINARY_DIR "/quillet/console/QLTAGENT"; }

result run(const launch& how) { return finish(start(program_path(), {}, how)); }

result run_held(const launch& how, std::uint32_t pages_done, const std::function<void()>& while_held)
{
    int ready[2];
    int go[2];
    if (pipe2(ready, O_CLOEXEC) != 0 || pipe2(go, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    // The child's ends stay open across its exec; this process keeps the others.
    fcntl(ready[1], F_SETFD, 0);
    fcntl(go[0], F_SETFD, 0);
    const started child = start(QLT_BINARY_DIR "/tests/qltagent_held",
                                {std::to_string(pages_done), std::to_string(ready[1]), std::to_string(go[0])}, how);
    close(ready[1]);
    close(go[0]);
    // The byte that tells that the run holds.
    const bool held = test_support::read_byte(ready[0], std::chrono::seconds(10));
    close(ready[0]);
    if (!held) {
        close(go[1]);
        kill(child.pid, SIGKILL);
        const result ended = finish(child);
        throw std::runtime_error("the run did not hold with " + std::to_string(pages_done) +
                                 " pages done; it wrote: " + ended.out + ended.err);
    }
    try {
        while_held();
    } catch (...) {
        close(go[1]);
        finish(child);
        throw;
    }
    const char go_on = 'g';
    const bool sent = write(go[1], &go_on, 1) == 1;
    close(go[1]);
    const result done = finish(child);
    if (!sent)
        throw std::runtime_error("the held run could not be let go on");
    return done;
}

} // namespace qltagent_process
