// Converts a one-page document with the built QLTAGENT and with the PDF library's own
// command-line tool (same text settings: layout, Latin-1, CR LF), as processes, in
// interleaved pairs, and prints the median time of each and their ratio. QLTAGENT also
// loads and stores its settings; they live in a folder on the disk that the figures are
// about, so the price of storing them is part of the figure. Two rounds: as in a batch,
// where each run writes a new destination and so stores new settings, and the same
// command again and again, where the settings stay as they are.
//   console_vs_pdftotext_bench [PAIRS [FOLDER]]   (default 30 pairs, the current folder)
#include "minimal_pdf.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <linux/magic.h>
#include <spawn.h>
#include <string>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The environment of both programs: the caller's, with the homes pointed into `home`.
std::vector<std::string> environment_with_home(const fs::path& home)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "HOME=", 5) != 0 && std::strncmp(*entry, "XDG_CONFIG_HOME=", 16) != 0)
            entries.emplace_back(*entry);
    entries.push_back("HOME=" + home.string());
    entries.push_back("XDG_CONFIG_HOME=" + (home / ".config").string());
    return entries;
}

std::vector<char*> pointers_of(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Runs the command to its end and gives the seconds it took; its streams go nowhere.
double timed_run(std::vector<std::string> command, std::vector<std::string>& environment)
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
    if (spawned == 0)
        waitpid(child, &status, 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", command[0].c_str());
        std::exit(1);
    }
    return seconds;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Runs `pairs` interleaved pairs and prints their figures. With `batch`, each run writes
// a new destination file; without, each run overwrites the one destination.
void measure(const char* title, bool batch, int pairs, const std::string& src, const fs::path& work,
             std::vector<std::string>& environment)
{
    const auto console = [&](int pair) {
        const std::string dest = (work / ("console" + std::to_string(batch ? pair : 0) + ".txt")).string();
        return std::vector<std::string> {QLT_QLTAGENT_PATH, "--src=" + src, "--dest=" + dest};
    };
    const auto tool = [&](int pair) {
        const std::string dest = (work / ("tool" + std::to_string(batch ? pair : 0) + ".txt")).string();
        return std::vector<std::string> {"pdftotext", "-layout", "-enc", "Latin1", "-eol", "dos", src, dest};
    };
    // Warm-up: the programs and the library in the page cache, the settings file made.
    for (int pair = -2; pair < 0; ++pair) {
        timed_run(console(pair), environment);
        timed_run(tool(pair), environment);
    }
    std::vector<double> console_times;
    std::vector<double> tool_times;
    std::vector<double> ratios;
    for (int pair = 0; pair < pairs; ++pair) {
        // Alternate which one goes first, so that neither always runs on a cooler machine.
        double console_seconds = 0;
        double tool_seconds = 0;
        if (pair % 2 == 0) {
            console_seconds = timed_run(console(pair), environment);
            tool_seconds = timed_run(tool(pair), environment);
        } else {
            tool_seconds = timed_run(tool(pair), environment);
            console_seconds = timed_run(console(pair), environment);
        }
        console_times.push_back(console_seconds);
        tool_times.push_back(tool_seconds);
        ratios.push_back(console_seconds / tool_seconds);
    }
    std::printf("%s\n", title);
    std::printf("  QLTAGENT:  median %.2f ms\n", median(console_times) * 1000);
    std::printf("  pdftotext: median %.2f ms\n", median(tool_times) * 1000);
    std::printf("  QLTAGENT / pdftotext: %.3f (median of the pairs' ratios)\n", median(ratios));
}

} // namespace

int main(int argc, char** argv)
{
    const int pairs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const fs::path parent = argc > 2 ? fs::path(argv[2]) : fs::current_path();

    std::string pattern = (parent / "console-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror(pattern.c_str());
        return 1;
    }
    const fs::path work = pattern;
    struct statfs where {};
    if (statfs(work.c_str(), &where) == 0 && where.f_type == TMPFS_MAGIC)
        std::printf("note: %s is a memory file system, not a disk\n", work.c_str());

    std::vector<std::string> lines;
    for (int line = 1; line <= 30; ++line)
        lines.push_back("Line " + std::to_string(line) + ": the quick brown fox jumps over the lazy dog.");
    minimal_pdf::document doc;
    doc.pages.push_back(minimal_pdf::text_page(lines));
    const std::string src = (work / "page.pdf").string();
    if (!minimal_pdf::write(src, minimal_pdf::render(doc))) {
        std::fprintf(stderr, "cannot write %s\n", src.c_str());
        return 1;
    }

    std::vector<std::string> environment = environment_with_home(work);
    std::printf("pairs: %d, settings in %s\n", pairs, parent.c_str());
    measure("each run stores new settings (a batch of documents):", true, pairs, src, work, environment);
    measure("the same command repeated (the settings stay as they are):", false, pairs, src, work, environment);
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return 0;
}
