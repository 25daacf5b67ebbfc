#include "plat_gui_start.h"

#include "plat_clipboard.h"
#include "plat_ui_thread.h"

#include <QApplication>
#include <QClipboard>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace plat {

namespace {

std::unique_ptr<QApplication> application;
int application_argc = 0;

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

// Connects to the X server as the toolkit's X11 backend would, through the same library.
bool can_reach_x11()
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0')
        return false;
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (xcb == nullptr)
        return false;
    using connect_fn = void* (*)(const char*, int*);
    using has_error_fn = int (*)(void*);
    using disconnect_fn = void (*)(void*);
    auto connect = reinterpret_cast<connect_fn>(dlsym(xcb, "xcb_connect"));
    auto has_error = reinterpret_cast<has_error_fn>(dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<disconnect_fn>(dlsym(xcb, "xcb_disconnect"));
    bool reached = false;
    if (connect != nullptr && has_error != nullptr && disconnect != nullptr) {
        void* connection = connect(nullptr, nullptr);
        reached = connection != nullptr && has_error(connection) == 0;
        if (connection != nullptr)
            disconnect(connection);
    }
    dlclose(xcb);
    return reached;
}

} // namespace

bool can_reach_display()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string name = platform != nullptr ? platform : "";
    if (name.empty() || name.rfind("xcb", 0) == 0)
        return can_reach_x11();
    if (name.rfind("wayland", 0) == 0) {
        const char* socket = std::getenv("WAYLAND_DISPLAY");
        return socket != nullptr && socket[0] != '\0';
    }
    // Platforms without a display server (offscreen, minimal, framebuffers).
    return true;
}

bool init_common_controls(int& argc, char** argv)
{
    if (QApplication::instance() == nullptr) {
        if (!can_reach_display())
            return false;
        application_argc = argc;
        application = std::make_unique<QApplication>(application_argc, argv);
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
