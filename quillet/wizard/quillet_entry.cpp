#include "quillet_entry.h"

#include "g_finish_page.h"
#include "g_welcome_page.h"
#include "g_wizard_shell.h"
#include "message_table.h"
#include "plat_gui_start.h"
#include "plat_resources.h"
#include "plat_window.h"
#include "progress_page.h"
#include "quillet_convertor.h"
#include "select_files_page.h"
#include "tk_desktop_services.h"
#include "tk_error_handler.h"
#include "tk_log.h"
#include "wizard_event_failures.h"

#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int icon_id = 501;
constexpr int watermark_id = 311;
constexpr int header_id = 312;
// Common-controls version 5.80: the major version in the high word, the minor in the low.
constexpr std::uint32_t oldest_common_controls = 0x50050;
// How long the wizard's end waits for a conversion still under way. A run stops at the
// library's next step, within milliseconds; one blocked in a system call (a source on a
// hung file system, a destination that became a FIFO) may never come back.
constexpr unsigned run_stop_wait_ms = 5000;

void register_image_file(int id, const char* resource)
{
    QFile file(QString::fromLatin1(resource));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    plat::register_image(id, reinterpret_cast<const unsigned char*>(bytes.constData()),
                         static_cast<std::size_t>(bytes.size()));
}

// The sheet has closed: a run still under way is asked to stop and awaited. A run that does
// not stop in time still uses the converter, the shell, the error handler and the library's
// state, so none of them may be destroyed under it: the settings are stored as the
// converter's end would store them, and the process ends at once with the wizard's result,
// without running a destructor or an exit handler. Only the standard output stream is
// flushed: the run may hold the lock of the stream it writes.
void end_the_run(progress_page& progress, quillet_convertor& converter, int result)
{
    if (progress.stop_within(run_stop_wait_ms))
        return;
    tk_log(2, "The run did not stop within %u ms; the program ends without it", run_stop_wait_ms);
    converter.serialize(true);
    std::fflush(stdout);
    std::_Exit(result);
}

} // namespace

void register_artwork()
{
    // The resources live in a static library: the linker keeps them only when asked.
    Q_INIT_RESOURCE(artwork);
    register_image_file(icon_id, ":/icon/501.png");
    register_image_file(watermark_id, ":/bitmap/311.png");
    register_image_file(header_id, ":/bitmap/312.png");
}

void check_common_controls(int& argc, char** argv)
{
    require_common_controls(get_dll_version(L"comctl32.dll"), argc, argv);
}

void require_common_controls(std::uint32_t version, int& argc, char** argv)
{
    tk_log(1, "comctl32.dll version=%X", version);
    if (version < oldest_common_controls) {
        // The box needs the user interface: it is started only to say why the program
        // ends. Where no display can be reached the text goes to the standard error stream.
        plat::init_common_controls(argc, argv);
        wizard_shell::error(msg::common_controls_too_old);
        plat::end_common_controls();
        std::exit(-1);
    }
    if (!plat::init_common_controls(argc, argv)) {
        wizard_shell::error(msg::common_controls_init_failed);
        std::exit(-1);
    }
}

int quillet_win_main(int argc, char** argv)
{
    register_artwork();
    error_handler handler;
    int result = 0;
    try {
        check_common_controls(argc, argv);
        quillet_convertor converter;

        char title[256] = {};
        std::snprintf(title, sizeof title, "%s %d.%d", msg::product_name, msg::product_major, msg::product_minor);
        wizard_shell shell(title, icon_id, watermark_id, header_id);
        install_wizard_event_failure_report();

        welcome_page welcome;
        shell.add_page(welcome.page_record());
        sel_file_page select_files;
        shell.add_page(select_files.page_record());
        progress_page progress;
        shell.add_page(progress.page_record());
        gui_finish_page_ex<quillet_convertor, 126> finish(msg::finish_success, msg::finish_hint, msg::finish_errors);
        shell.add_page(finish.page_record());

        result = shell.do_modal(plat::get_active_window());
        end_the_run(progress, converter, result);
    } catch (const tk_exception& e) {
        error_handler::instance()->handle(e, true);
        result = 0;
    } catch (const std::exception& e) {
        wizard_shell::error(e.what());
        result = 0;
    }
    plat::end_common_controls();
    return result;
}
