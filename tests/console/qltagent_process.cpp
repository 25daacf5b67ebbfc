#include "qltagent_process.h"

#include "test_support.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

} // namespace

bool result::timed_out() const { return exit_code == 1000 + SIGALRM; }

std::string program_path() { return QLT_BINARY_DIR "/quillet/console/QLTAGENT"; }

result run(const launch& how)
{
    std::string program = program_path();
    std::vector<std::string> environment = child_environment(how.home);
    if (how.unprivileged)
        stage_for_unprivileged(how.home, program, environment);
    std::vector<std::string> arguments = how.arguments;
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv = pointers_of(arguments);
    std::vector<char*> envp = pointers_of(environment);

    // Files, not pipes: the child can write any amount without waiting for the parent.
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (out == nullptr || err == nullptr)
        throw std::runtime_error("tmpfile failed");

    const pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        if (dup2(fileno(out), STDOUT_FILENO) < 0 || dup2(fileno(err), STDERR_FILENO) < 0)
            _exit(127);
        if (chdir(how.cwd.c_str()) != 0)
            _exit(127);
        if (how.unprivileged && !test_support::drop_privileges())
            _exit(127);
        // The alarm outlives execve: a program that hangs is ended by its signal.
        alarm(std::max(how.time_limit_seconds, 1u));
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    // A program that keeps running past its alarm (it blocked or caught the signal) is killed
    // a little later.
    const std::optional<int> ended =
        test_support::wait_for_child(child, std::chrono::seconds(std::max(how.time_limit_seconds, 1u) + 10));
    if (!ended)
        throw std::runtime_error(program + " did not end after its alarm and was killed");
    const int status = *ended;
    result done;
    done.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    done.out = contents(out);
    done.err = contents(err);
    return done;
}

} // namespace qltagent_process
