// Not a test by itself: the wizard program with the command line it was given, run by
// toolkit_options_test. On the welcome page it writes what the toolkit's options would
// change to the standard output stream (a line each: platform, layout direction, style,
// the sheet's title and size, the arguments the toolkit kept), then cancels the wizard.
#include "quillet_entry.h"
#include "wizard_driver.h"

#include <QApplication>
#include <QStringList>
#include <QStyle>

#include <cstdio>
#include <memory>

using namespace wizard_driver;

namespace {

std::unique_ptr<script> steps;

void report()
{
    const QWidget* window = sheet();
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("direction %s\n", qApp->layoutDirection() == Qt::RightToLeft ? "right-to-left" : "left-to-right");
    std::printf("style %s\n", qPrintable(QApplication::style()->name()));
    std::printf("title %s\n", qPrintable(window->windowTitle()));
    std::printf("size %dx%d\n", window->width(), window->height());
    std::printf("arguments %lld\n", static_cast<long long>(QCoreApplication::arguments().size()));
    std::fflush(stdout);
}

// Runs while the start makes the application object: the script needs its event loop.
void start_script()
{
    steps = std::make_unique<script>();
    steps->then("welcome", on_page(welcome), report);
    cancel_and_confirm(*steps);
    steps->start();
}

} // namespace

int main(int argc, char** argv)
{
    qAddPreRoutine(start_script);
    return quillet_win_main(argc, argv);
}
