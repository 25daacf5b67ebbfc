#pragma once
// Running programs as processes for the benchmarks that compare QLTAGENT with the PDF
// library's own command-line tool: their environment, a timed run with its peak memory,
// and the median of a series.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace bench_process {

// The environment of both programs: the caller's, with the homes pointed into `home`.
inline std::vector<std::string> environment_with_home(const std::filesystem::path& home)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "HOME=", 5) != 0 && std::strncmp(*entry, "XDG_CONFIG_HOME=", 16) != 0)
            entries.emplace_back(*entry);
    entries.push_back("HOME=" + home.string());
    entries.push_back("XDG_CONFIG_HOME=" + (home / ".config").string());
    return entries;
}

inline std::vector<char*> pointers_of(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

struct figures {
    double seconds = 0;
    double peak_mib = 0; // the child's peak resident memory
};

// Runs the command to its end and gives its wall time and peak memory; its streams go
// nowhere. A command that fails ends the benchmark.
inline figures measured_run(std::vector<std::string> command, std::vector<std::string>& environment)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::vector<char*> argv = pointers_of(command);
    const std::vector<char*> envp = pointers_of(environment);

    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    int status = 0;
    rusage usage {};
    if (spawned == 0)
        wait4(child, &status, 0, &usage);
    figures result;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.peak_mib = static_cast<double>(usage.ru_maxrss) / 1024;
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", command[0].c_str());
        std::exit(1);
    }
    return result;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace bench_process
