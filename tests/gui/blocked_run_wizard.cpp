// Not a test by itself: the wizard program, run by wizard_program_test, whose conversion
// blocks in a system call that never returns: before its first page the run reads a pipe
// that nobody writes (this program keeps the write end open and writes nothing). Its two
// arguments are the source document and the destination. Once the run is blocked, the line
// "blocked" goes to the standard output stream, and the script cancels the wizard and
// answers Yes to the exit question; whether the program then ends is the test's to see.
// Qt's headers come first: the PDF library's headers define macros that clash with its names.
#include <QCoreApplication>

#include "message_table.h"
#include "quillet_convertor.h"
#include "quillet_entry.h"
#include "wizard_driver.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

using namespace wizard_driver;

namespace {

std::string src, dest;
int never_written[2] = {-1, -1};
std::atomic<bool> blocked {false};
std::unique_ptr<script> steps;

void block_in_a_read(std::uint32_t)
{
    blocked = true;
    char byte = 0;
    ssize_t got = 0;
    do
        got = ::read(never_written[0], &byte, 1);
    while (got < 0 && errno == EINTR);
    // Only a broken test gets here: the test then fails on this line.
    std::printf("released\n");
    std::fflush(stdout);
}

// Runs while the start makes the application object: the script needs its event loop.
void start_script()
{
    steps = std::make_unique<script>();
    to_select_files(*steps)
        .then("select files", on_page(select_files), [] {
            quillet_convertor::instance()->before_page_for_tests = block_in_a_read;
            fill(src, dest);
            click_sheet(plat::ID_PSNEXT);
        })
        .then("run blocked", [] { return blocked && current_page() == progress; }, [] {
            std::printf("blocked\n");
            std::fflush(stdout);
            click_sheet(plat::IDCANCEL);
        })
        .then("exit question", box_says(msg::exit_question), [] { answer("&Yes"); });
    steps->start();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || ::pipe(never_written) != 0)
        return 2;
    src = argv[1];
    dest = argv[2];
    qAddPreRoutine(start_script);
    char name[] = "quillet";
    char* program_argv[] = {name, nullptr};
    return quillet_win_main(1, program_argv);
}
