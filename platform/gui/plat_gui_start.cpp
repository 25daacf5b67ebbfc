#include "plat_gui_start.h"

#include "plat_clipboard.h"
#include "plat_ui_thread.h"

#include <QApplication>
#include <QClipboard>

#include <dlfcn.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace plat {

namespace {

std::unique_ptr<QApplication> application;
// The command line that the application object sees: the program's name alone, so that no
// toolkit option on the program's own command line (-style, -reverse, -platform, -name...)
// changes what it does. The toolkit keeps these for the object's whole life.
int application_argc = 1;
char fallback_name[] = "quillet";
char* application_argv[] = {fallback_name, nullptr};

// The process ended (through exit) while the application object lives: the toolkit does so
// from inside its event loop when the connection to the display breaks, and an internal
// error ends the program from inside a dialog's loop. The exit handlers would then destroy
// the application object, and with it the windows, under the loops still on the stack; the
// process ends at once instead, with the status it was given, its output flushed.
void end_without_teardown(int status, void*)
{
    if (!application)
        return;
    std::fflush(nullptr);
    std::_Exit(status);
}

bool qt_clipboard_writer(const std::string& text)
{
    // The clipboard belongs to the user-interface thread.
    return run_on_ui_thread([&] { QGuiApplication::clipboard()->setText(QString::fromLocal8Bit(text.c_str())); });
}

// A connection to the X server, made as the toolkit's X11 backend makes its own, through
// the same library.
class x11_connection {
public:
    x11_connection()
    {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || display[0] == '\0')
            return;
        xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
        if (xcb == nullptr)
            return;
        using connect_fn = void* (*)(const char*, int*);
        using has_error_fn = int (*)(void*);
        auto connect = reinterpret_cast<connect_fn>(dlsym(xcb, "xcb_connect"));
        auto has_error = reinterpret_cast<has_error_fn>(dlsym(xcb, "xcb_connection_has_error"));
        disconnect = reinterpret_cast<disconnect_fn>(dlsym(xcb, "xcb_disconnect"));
        if (connect == nullptr || has_error == nullptr || disconnect == nullptr)
            return;
        connection = connect(nullptr, nullptr);
        reached = connection != nullptr && has_error(connection) == 0;
    }
    ~x11_connection()
    {
        if (connection != nullptr)
            disconnect(connection);
        if (xcb != nullptr)
            dlclose(xcb);
    }
    x11_connection(const x11_connection&) = delete;
    x11_connection& operator=(const x11_connection&) = delete;

    bool reached = false;

private:
    using disconnect_fn = void (*)(void*);
    void* xcb = nullptr;
    void* connection = nullptr;
    disconnect_fn disconnect = nullptr;
};

// Whether the window system can be reached. The X server's connection made for the check
// is handed back in `held`: an X server whose last client leaves resets itself, and a
// connection made during that reset fails, so the check's connection is kept until the
// toolkit has made its own.
bool check_display(std::unique_ptr<x11_connection>& held)
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string name = platform != nullptr ? platform : "";
    if (name.empty() || name.rfind("xcb", 0) == 0) {
        held = std::make_unique<x11_connection>();
        return held->reached;
    }
    if (name.rfind("wayland", 0) == 0) {
        const char* socket = std::getenv("WAYLAND_DISPLAY");
        return socket != nullptr && socket[0] != '\0';
    }
    // Platforms without a display server (offscreen, minimal, framebuffers).
    return true;
}

} // namespace

bool can_reach_display()
{
    std::unique_ptr<x11_connection> connection;
    return check_display(connection);
}

bool init_common_controls(int& argc, char** argv)
{
    if (QApplication::instance() == nullptr) {
        std::unique_ptr<x11_connection> check_connection;
        if (!check_display(check_connection))
            return false;
        // A write to the display's connection after its server went away would raise
        // SIGPIPE and kill the process before the toolkit notices the broken connection and
        // ends the program in order; ignored, the write fails with EPIPE instead.
        std::signal(SIGPIPE, SIG_IGN);
        if (argc > 0 && argv[0] != nullptr)
            application_argv[0] = argv[0];
        application_argc = 1;
        application = std::make_unique<QApplication>(application_argc, application_argv);
        // Registered after the application object was made, so it runs before the handler
        // that would destroy it.
        static const bool registered = on_exit(&end_without_teardown, nullptr) == 0;
        (void)registered;
    }
    install_gui_services();
    return true;
}

void end_common_controls()
{
    set_clipboard_fallback(nullptr);
    application.reset();
}

void install_gui_services() { set_clipboard_fallback(&qt_clipboard_writer); }

} // namespace plat
