// Converts a generated document through the engine's run and through a bare loop over
// the PDF library with the same settings, and prints pages per second of each, their
// ratio, and the run's own peak memory for one page, a tenth of PAGES and PAGES.
//   engine_bench [PAGES]   (default 1000)
// Each peak is measured in a fresh process that does nothing but that one conversion, so
// that neither the generated documents nor an earlier run count towards it:
//   engine_bench --convert-only SRC DEST
#include "minimal_pdf.h"
#include "quillet_convertor.h"
#include "test_support.h"
#include "tk_error_handler.h"

#include <GlobalParams.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string make_document(const std::string& path, int pages)
{
    minimal_pdf::document doc;
    for (int i = 1; i <= pages; ++i) {
        std::vector<std::string> lines;
        for (int line = 1; line <= 30; ++line)
            lines.push_back("Page " + std::to_string(i) + ", line " + std::to_string(line) +
                            ": the quick brown fox jumps over the lazy dog.");
        doc.pages.push_back(minimal_pdf::text_page(lines));
    }
    if (!minimal_pdf::write(path, minimal_pdf::render(doc))) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The library alone: the same document, device and display arguments as the run.
double bare_loop(const std::string& src, const std::string& dest, const pdf_text_settings& settings)
{
    const auto start = std::chrono::steady_clock::now();
    std::fclose(std::fopen(dest.c_str(), "wb+"));
    PDFDoc doc(std::make_unique<GooString>(src), GooString(""), GooString(""));
    TextOutputDev out(dest.c_str(), true, 0, false, true);
    out.setTextEOL(settings.end_of_line);
    out.setTextPageBreaks(settings.page_breaks);
    for (int page = 1; page <= doc.getNumPages(); ++page)
        doc.displayPage(&out, page, 72, 72, 0, false, true, false);
    return seconds_since(start);
}

double engine_run(const std::string& src, const std::string& dest)
{
    quillet_convertor& converter = *quillet_convertor::instance();
    converter.src = src;
    converter.dest = dest;
    converter.pages_done = 0;
    converter.pages_total = 0;
    const auto start = std::chrono::steady_clock::now();
    converter();
    return seconds_since(start);
}

// The peak resident size in KiB of this process's memory image. A fresh program's image
// starts at exec, so unlike the resource usage that wait4 reports it leaves out the
// parent that forked it.
long peak_memory_kib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// The child of conversion_peak_kib: one run, as the console program makes it, then its
// peak on standard output.
int convert_only(const std::string& src, const std::string& dest)
{
    quillet_convertor converter;
    error_handler handler;
    engine_run(src, dest);
    if (converter.pages_total == 0 || converter.pages_done != converter.pages_total)
        return 1;
    std::printf("%ld\n", peak_memory_kib());
    return 0;
}

// The peak resident size in KiB of a fresh process that converts `src` into `dest` and
// ends; -1 when it could not run or failed.
long conversion_peak_kib(const std::string& src, const std::string& dest)
{
    int output[2];
    if (pipe(output) != 0)
        return -1;
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        close(output[0]);
        if (dup2(output[1], STDOUT_FILENO) < 0)
            _exit(127);
        const char* const argv[] = {"engine_bench", "--convert-only", src.c_str(), dest.c_str(), nullptr};
        execv("/proc/self/exe", const_cast<char* const*>(argv));
        _exit(127);
    }
    close(output[1]);
    std::string text;
    char buffer[64];
    for (ssize_t count; (count = read(output[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(count));
    close(output[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty())
        return -1;
    return std::atol(text.c_str());
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--convert-only") == 0)
        return convert_only(argv[2], argv[3]);
    const int pages = argc > 1 ? std::atoi(argv[1]) : 1000;
    // The converter keeps its settings in the user's store: keep the real one out of it.
    const test_support::settings_home home;
    const std::string dir = home.path().string();

    const std::string long_doc = make_document(dir + "/long.pdf", pages);
    const std::string dest = dir + "/out.txt";
    {
        quillet_convertor converter;
        error_handler handler;
        const pdf_text_settings settings = pdf_load_text_settings(dir.c_str());

        bare_loop(long_doc, dest, settings); // warm-up
        std::vector<double> bare;
        std::vector<double> run;
        for (int round = 0; round < 5; ++round) {
            bare.push_back(bare_loop(long_doc, dest, settings));
            run.push_back(engine_run(long_doc, dest));
        }
        const double bare_rate = pages / median(bare);
        const double run_rate = pages / median(run);
        std::printf("pages: %d\n", pages);
        std::printf("bare loop: %.0f pages/s\n", bare_rate);
        std::printf("engine run: %.0f pages/s\n", run_rate);
        std::printf("run / bare: %.3f\n", run_rate / bare_rate);
    }
    for (const int count : {1, std::max(1, pages / 10), pages}) {
        const std::string src = count == pages ? long_doc : make_document(dir + "/memory.pdf", count);
        std::printf("peak memory of a conversion of %d %s: %ld KiB\n", count, count == 1 ? "page" : "pages",
                    conversion_peak_kib(src, dest));
    }
    return 0;
}
