// Converts a one-page document with the built QLTAGENT and with the PDF library's own
// command-line tool (same text settings: layout, Latin-1, CR LF), as processes, in
// interleaved pairs, and prints the median time of each and their ratio. QLTAGENT also
// loads and stores its settings; they live in a folder on the disk that the figures are
// about, so the price of storing them is part of the figure. Two rounds: as in a batch,
// where each run writes a new destination and so stores new settings, and the same
// command again and again, where the settings stay as they are.
//   console_vs_pdftotext_bench [PAIRS [FOLDER]]   (default 30 pairs, the current folder)
#include "bench_process.h"
#include "minimal_pdf.h"

#include <linux/magic.h>
#include <sys/statfs.h>

namespace {

namespace fs = std::filesystem;
using bench_process::median;

double timed_run(const std::vector<std::string>& command, std::vector<std::string>& environment)
{
    return bench_process::measured_run(command, environment).seconds;
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

    std::vector<std::string> environment = bench_process::environment_with_home(work);
    std::printf("pairs: %d, settings in %s\n", pairs, parent.c_str());
    measure("each run stores new settings (a batch of documents):", true, pairs, src, work, environment);
    measure("the same command repeated (the settings stay as they are):", false, pairs, src, work, environment);
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return 0;
}
