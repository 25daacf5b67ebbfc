#pragma once
// Runs the built QLTAGENT as a child process with its own settings home, and collects
// what it wrote on its two streams and its exit code as the shell sees it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace qltagent_process {

struct result {
    std::string out;
    std::string err;
    int exit_code = -1; // 0..255; 1000 + signal number when a signal ended the child

    // Whether the child was ended for running past its time limit.
    bool timed_out() const;
};

struct launch {
    std::vector<std::string> arguments; // after the program's name
    std::filesystem::path home;         // HOME; XDG_CONFIG_HOME is its ".config"
    std::filesystem::path cwd;          // the child's current directory
    bool unprivileged = false;          // as root, drop its privileges before the program starts
    unsigned time_limit_seconds = 60;   // ends the child (SIGALRM) after that long
    std::size_t file_size_limit = 0;    // no file written past that many bytes (a full disk); 0: none
};

std::string program_path();
result run(const launch& how);

// Runs QLTAGENT as run() does, with its conversion held once `pages_done` pages are done:
// `while_held` runs then, in this process, and the run goes on after it. Throws when the
// run does not hold there within a deadline (it ended, or hangs), having ended the child.
result run_held(const launch& how, std::uint32_t pages_done, const std::function<void()>& while_held);

} // namespace qltagent_process
