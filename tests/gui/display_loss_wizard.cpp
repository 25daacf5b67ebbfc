// Not a test by itself: the wizard program, run by display_loss_test on an X server of its
// own. Once the wizard shows what the argument names ("welcome", "select_files" or
// "file_dialog": the source's Open dialog over the select-files page), the line "ready" goes
// to the standard output stream. The user-interface thread then waits, handling nothing,
// for a line on the standard input stream that says that the server has ended, writes to
// the connection that the toolkit holds to it (as the toolkit may before it notices that
// the server went: such a write must not end the program by a signal), and runs on.
#include "quillet_entry.h"
#include "select_files_page.h"
#include "wizard_driver.h"

#include <QApplication>
#include <QGuiApplication>
#include <QString>
#include <QtGui/qguiapplication_platform.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <memory>
#include <unistd.h>

using namespace wizard_driver;

namespace {

QString wanted;
std::unique_ptr<script> steps;

// The descriptor of the toolkit's connection to the X server; -1 when there is none.
int x_connection_descriptor()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    // The toolkit's X11 backend has loaded the library already.
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
    if (x11 == nullptr || xcb == nullptr)
        return -1;
    using descriptor_fn = int (*)(xcb_connection_t*);
    auto descriptor = reinterpret_cast<descriptor_fn>(dlsym(xcb, "xcb_get_file_descriptor"));
    return descriptor != nullptr ? descriptor(x11->connection()) : -1;
}

void say_ready()
{
    const int connection = x_connection_descriptor();
    if (connection < 0) {
        std::fprintf(stderr, "no X connection\n");
        std::_Exit(3);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    char line[64];
    static_cast<void>(std::fgets(line, sizeof line, stdin));
    const char byte = 0;
    static_cast<void>(::write(connection, &byte, 1));
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
