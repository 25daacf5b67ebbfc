#include "plat_process.h"

#include "plat_error.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

namespace plat {

namespace {

bool is_program(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

} // namespace

std::string find_program(const std::string& name, const std::vector<std::string>& extra_dirs)
{
    std::vector<std::string> dirs;
    if (const char* path = std::getenv("PATH")) {
        std::string list = path;
        std::size_t start = 0;
        while (start <= list.size()) {
            const std::size_t end = list.find(':', start);
            const std::string dir = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
            dirs.push_back(dir.empty() ? "." : dir);
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    }
    dirs.insert(dirs.end(), extra_dirs.begin(), extra_dirs.end());
    for (const std::string& dir : dirs) {
        const std::string candidate = dir + "/" + name;
        if (is_program(candidate))
            return candidate;
    }
    return std::string();
}

int run_with_input(const std::string& program, const std::vector<std::string>& arguments, const std::string& input)
{
    // A socket rather than a pipe: a helper that ends early makes the write fail with EPIPE
    // instead of raising SIGPIPE in this process.
    int channel[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel[1], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(channel[1]);
    if (spawned != 0) {
        close(channel[0]);
        set_last_error(spawned);
        return -1;
    }
    std::size_t written = 0;
    while (written < input.size()) {
        const ssize_t n = send(channel[0], input.data() + written, input.size() - written, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    shutdown(channel[0], SHUT_WR);
    close(channel[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace plat
