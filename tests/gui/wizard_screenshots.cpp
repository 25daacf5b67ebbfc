// Not a test: runs the wizard through its four pages, once to a successful end and once to
// a failed run, and saves a picture of the sheet on each page into the folder given as the
// first argument (welcome.png, select_files.png, progress.png, finish.png, errors.png), and a
// picture of the whole screen with the overwrite question (overwrite_box.png) and with the
// error box for a profile of a long name that can't be saved (long_name_box.png), frame and
// all when a window manager runs.
// Run it on a display, e.g. xvfb-run -a wizard_screenshots /tmp/shots, to look at the pages.
#include <QApplication>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <QTest>

#include "g_finish_page.h"
#include "plat_gui_constants.h"
#include "progress_page.h"
#include "select_files_page.h"
#include "test_support.h"
#include "wizard_driver.h"
#include "wizard_program_support.h"

#include <cstdio>
#include <string>

using namespace wizard_driver;
using namespace wizard_test;

namespace {

using page = sel_file_page;

std::string folder;

void shoot(const char* name)
{
    const std::string path = folder + "/" + name;
    sheet()->grab().save(QString::fromStdString(path));
    std::printf("%s\n", path.c_str());
}

// The whole screen, as the user sees it.
void shoot_screen(const char* name)
{
    const std::string path = folder + "/" + name;
    // The window manager frames a new window some events after it is shown.
    QTest::qWait(500);
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromStdString(path));
    std::printf("%s\n", path.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: wizard_screenshots FOLDER\n");
        return 2;
    }
    folder = argv[1];
    QApplication application(argc, argv);
    test_support::temp_dir root;
    use_home(root);
    const std::string src = root.file("Annual report.pdf");
    test_support::write_file(src, long_document(6000));

    script success;
    success.then("welcome", on_page(welcome), [] {
               shoot("welcome.png");
               click_sheet(plat::ID_PSNEXT);
           })
        .then("select files", on_page(select_files), [&] {
            fill(src, root.file("Annual report.txt"));
            click(page::use_password_box);
            put(page::password_edit, "secret");
            click(page::some_pages_radio);
            put(page::range_edit, "1-6000");
            shoot("select_files.png");
            click(page::use_password_box);
            click_sheet(plat::ID_PSNEXT);
        })
        .then("progress",
              [] {
                  return current_page() == progress &&
                         qobject_cast<QProgressBar*>(item(progress_page::bar_id))->value() >= 20 &&
                         text_of(progress_page::status_id).rfind("Processing page", 0) == 0;
              },
              [] { shoot("progress.png"); })
        .then("finish", on_page(finish), [] {
            shoot("finish.png");
            click(g_finish::open_on_exit_id);
            click_sheet(plat::ID_PSFINISH);
        }, 120000);
    run_wizard(success);

    const std::string broken = root.file("broken.pdf");
    test_support::write_file(broken, test_support::read_file(fixture("five_pages.pdf")));
    const std::string dest = root.file("broken.txt");
    test_support::write_file(dest, "old");
    script failure;
    to_select_files(failure)
        .then("select files", on_page(select_files), [&] {
            fill(broken, dest);
            click(page::all_pages_radio);
            click_sheet(plat::ID_PSNEXT);
        })
        .then("overwrite", [] { return box() != nullptr; }, [&] {
            shoot_screen("overwrite_box.png");
            test_support::write_file(broken, "not a PDF document any more");
            answer("&Yes");
        })
        .then("run's error", [] { return box() != nullptr; }, [] { answer("OK"); })
        .then("finish", on_page(finish), [] {
            shoot("errors.png");
            click(g_finish::save_settings_id);
        })
        .then("profile dialog", modal_named(QStringLiteral("plat_file_dialog")), [] {
            choose_in_file_dialog(QStringLiteral("/sys/no-such-folder/very_long_profile_name_") +
                                  QString(150, QLatin1Char('x')) + QStringLiteral("_end"));
        })
        .then("profile not saved", [] { return box() != nullptr; }, [] {
            shoot_screen("long_name_box.png");
            answer("OK");
        })
        .then("finish again", on_page(finish), [] { click_sheet(plat::ID_PSFINISH); });
    run_wizard(failure);
    return 0;
}
