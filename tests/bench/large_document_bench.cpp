// QLTAGENT against the PDF library's own command-line tool (same text settings: layout,
// Latin-1, CR LF) on large documents, as processes in interleaved pairs. Prints the median
// wall time and peak memory of each and their ratios, for:
// - page 1 of a document of 15,550 pages, a 311-page document joined fifty times with
//   qpdf --empty --pages (QLTAGENT --pages=1 against pdftotext -f 1 -l 1);
// - ten pages in the middle of it (--pages=7001-7010 against -f 7001 -l 7010);
// - the whole of that document;
// - the whole of a one-page document whose page tree is nested 100,000 levels deep.
//   large_document_bench [PAIRS [WHOLE_PAIRS [FOLDER [SOURCE]]]]
// Defaults: 15 pairs of page 1, 3 of each whole document, the current folder, and a
// generated 311-page document as the one joined; SOURCE names another PDF to join.
// A child's peak memory counts the memory of the process that started it (the kernel
// keeps the larger of the two across exec), so the pairs run from a fresh, small process
// of this program that does nothing else:
//   large_document_bench --measure TITLE PAIRS SRC FOLDER FIRST-LAST
// where FIRST-LAST is the pages to convert, or "all".
#include "bench_process.h"
#include "minimal_pdf.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using bench_process::median;

constexpr int joined_copies = 50;
constexpr int generated_pages = 311;
constexpr int nesting_depth = 100000;

void write_or_exit(const std::string& path, const std::string& bytes)
{
    if (!minimal_pdf::write(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

std::string generated_source(const fs::path& work)
{
    minimal_pdf::document doc;
    for (int page = 1; page <= generated_pages; ++page) {
        std::vector<std::string> lines;
        for (int line = 1; line <= 40; ++line)
            lines.push_back("Page " + std::to_string(page) + ", line " + std::to_string(line) +
                            ": the quick brown fox jumps over the lazy dog.");
        doc.pages.push_back(minimal_pdf::text_page(lines));
    }
    const std::string path = (work / "source.pdf").string();
    write_or_exit(path, minimal_pdf::render(doc));
    return path;
}

// `source` joined `joined_copies` times into one document.
std::string joined_document(const std::string& source, const fs::path& work)
{
    const std::string path = (work / "large.pdf").string();
    std::string command = "qpdf --empty --pages";
    for (int copy = 0; copy < joined_copies; ++copy)
        command += " '" + source + "'";
    command += " -- '" + path + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: qpdf --empty --pages ... -- %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}


// Runs `pairs` interleaved pairs after one to warm up, and prints their figures.
void measure(const char* title, int pairs, const std::vector<std::string>& console,
             const std::vector<std::string>& tool, std::vector<std::string>& environment)
{
    bench_process::measured_run(console, environment);
    bench_process::measured_run(tool, environment);
    std::vector<double> console_seconds, tool_seconds, time_ratios, console_peaks, tool_peaks;
    for (int pair = 0; pair < pairs; ++pair) {
        // Alternate which one goes first, so that neither always runs on a cooler machine.
        bench_process::figures ours, theirs;
        if (pair % 2 == 0) {
            ours = bench_process::measured_run(console, environment);
            theirs = bench_process::measured_run(tool, environment);
        } else {
            theirs = bench_process::measured_run(tool, environment);
            ours = bench_process::measured_run(console, environment);
        }
        console_seconds.push_back(ours.seconds);
        tool_seconds.push_back(theirs.seconds);
        time_ratios.push_back(ours.seconds / theirs.seconds);
        console_peaks.push_back(ours.peak_mib);
        tool_peaks.push_back(theirs.peak_mib);
    }
    std::printf("%s (%d pairs)\n", title, pairs);
    std::printf("  QLTAGENT:  median %9.3f s, peak %6.1f MiB\n", median(console_seconds), median(console_peaks));
    std::printf("  pdftotext: median %9.3f s, peak %6.1f MiB\n", median(tool_seconds), median(tool_peaks));
    std::printf("  QLTAGENT / pdftotext: time %.3f (median of the pairs' ratios), memory %.3f\n",
                median(time_ratios), median(console_peaks) / median(tool_peaks));
    std::fflush(stdout);
}

std::vector<std::string> console_command(const std::string& src, const fs::path& dest, const char* pages)
{
    std::vector<std::string> command {QLT_QLTAGENT_PATH, "--src=" + src, "--dest=" + dest.string()};
    if (pages != nullptr)
        command.push_back(std::string("--pages=") + pages);
    return command;
}

// The tool's -f and -l for the pages FIRST-LAST; none for every page (nullptr).
std::vector<std::string> tool_command(const std::string& src, const fs::path& dest, const char* pages)
{
    std::vector<std::string> command {"pdftotext", "-layout", "-enc", "Latin1", "-eol", "dos"};
    if (pages != nullptr) {
        const std::string range = pages;
        const std::size_t dash = range.find('-');
        command.insert(command.end(), {"-f", range.substr(0, dash), "-l",
                                       dash == std::string::npos ? range : range.substr(dash + 1)});
    }
    command.insert(command.end(), {src, dest.string()});
    return command;
}

// Measures in a fresh process of this program (see above), its figures on our output.
void measure_in_fresh_process(const char* title, int pairs, const std::string& src, const fs::path& work,
                              const char* pages)
{
    std::vector<std::string> command {"/proc/self/exe", "--measure",  title, std::to_string(pairs),
                                      src,              work.string(), pages != nullptr ? pages : "all"};
    const std::vector<char*> argv = bench_process::pointers_of(command);
    pid_t child = 0;
    int status = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0 || waitpid(child, &status, 0) < 0 ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "measuring \"%s\" failed\n", title);
        std::exit(1);
    }
}

int measure_main(char** argv)
{
    const char* title = argv[2];
    const int pairs = std::atoi(argv[3]);
    const std::string src = argv[4];
    const fs::path work = argv[5];
    const char* pages = std::string(argv[6]) == "all" ? nullptr : argv[6];
    std::vector<std::string> environment = bench_process::environment_with_home(work);
    measure(title, pairs, console_command(src, work / "ours.txt", pages), tool_command(src, work / "theirs.txt", pages),
            environment);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 7 && std::string(argv[1]) == "--measure")
        return measure_main(argv);

    const int pairs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const int whole_pairs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const fs::path parent = argc > 3 ? fs::path(argv[3]) : fs::current_path();

    std::string pattern = (parent / "large-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror(pattern.c_str());
        return 1;
    }
    const fs::path work = pattern;
    const std::string source = argc > 4 ? std::string(argv[4]) : generated_source(work);
    const std::string large = joined_document(source, work);
    const std::string deep = (work / "deep.pdf").string();
    write_or_exit(deep, minimal_pdf::render_nested(nesting_depth, {"The one page, deep in its tree."}));
    std::printf("%s joined %d times: %s\n", source.c_str(), joined_copies, large.c_str());
    std::fflush(stdout);

    measure_in_fresh_process("page 1 of the joined document", pairs, large, work, "1");
    measure_in_fresh_process("pages 7001 to 7010 of the joined document", pairs, large, work, "7001-7010");
    measure_in_fresh_process("the whole joined document", whole_pairs, large, work, nullptr);
    measure_in_fresh_process("a page tree nested 100,000 levels deep", whole_pairs, deep, work, nullptr);
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return 0;
}
