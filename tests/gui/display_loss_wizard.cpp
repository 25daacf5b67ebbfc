// Not a test by itself: the wizard program, run by display_loss_test on an X server of its
// own. Once the wizard shows what the argument names ("welcome", "select_files" or
// "file_dialog": the source's Open dialog over the select-files page), the line "ready" goes
// to the standard output stream; the wizard then runs on until its display goes away.
#include "quillet_entry.h"
#include "select_files_page.h"
#include "wizard_driver.h"

#include <QApplication>
#include <QString>

#include <cstdio>
#include <memory>

using namespace wizard_driver;

namespace {

QString wanted;
std::unique_ptr<script> steps;

void say_ready()
{
    std::printf("ready\n");
    std::fflush(stdout);
}

// Runs while the start makes the application object: the script needs its event loop.
void start_script()
{
    steps = std::make_unique<script>();
    if (wanted == QLatin1String("welcome")) {
        steps->then("welcome", on_page(welcome), say_ready);
        steps->start();
        return;
    }
    to_select_files(*steps);
    if (wanted == QLatin1String("select_files")) {
        steps->then("select files", on_page(select_files), say_ready);
    } else {
        steps->then("select files", on_page(select_files), [] { click(sel_file_page::browse_src_button); })
            .then("file dialog", modal_named(QStringLiteral("plat_file_dialog")), say_ready);
    }
    steps->start();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    wanted = QString::fromLocal8Bit(argv[1]);
    qAddPreRoutine(start_script);
    char name[] = "quillet";
    char* program_argv[] = {name, nullptr};
    return quillet_win_main(1, program_argv);
}
