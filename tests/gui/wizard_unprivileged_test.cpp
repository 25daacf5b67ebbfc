// The wizard program run by an unprivileged user (root opens every file whatever its mode):
// a read-only destination, and a new one in a folder that can be entered but not written,
// are refused on Next; a writable one in such a folder is converted into. Each case runs the whole program in a child process that dropped root's rights (or,
// for an ordinary user, that runs as that user, whom the mode bits already bind); the
// parent process makes no application object, so the child starts the program afresh.
#include <QApplication>
#include <QFileDialog>
#include <QTest>

#include "g_finish_page.h"
#include "gui_test_support.h"
#include "message_table.h"
#include "plat_error.h"
#include "plat_gui_constants.h"
#include "select_files_page.h"
#include "test_support.h"
#include "tk_exception.h"
#include "tk_folders.h"
#include "wizard_driver.h"
#include "wizard_program_support.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace wizard_driver;
using namespace wizard_test;
using test_support::read_file;
using test_support::temp_dir;
using test_support::write_file;

namespace {

using page = sel_file_page;

// A folder that the unprivileged user works in, with a home and a copy of a document.
struct shared_folder {
    temp_dir root;
    std::string src;

    shared_folder()
    {
        use_home(root);
        src = root.file("five_pages.pdf");
        write_file(src, read_file(fixture("five_pages.pdf")));
        test_support::open_tree_to_everyone(root.path());
    }
};

// Runs the program in the unprivileged child with the script that `prepare` makes; returns
// the child's result (the program's exit code, or -1 when the child ended with -1).
int run_unprivileged_wizard(const std::function<void(script&)>& prepare)
{
    return test_support::run_unprivileged([&] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        int argc = 1;
        char name[] = "quillet";
        char* argv[] = {name, nullptr};
        QApplication application(argc, argv);
        script steps;
        prepare(steps);
        return run_wizard(steps);
    });
}

// The error box that refuses Next: its text goes to the file `report`, OK closes it, and
// the page stays.
void report_box_and_stay(script& steps, const std::string& report)
{
    steps.then("error box", [] { return box() != nullptr; }, [report] {
             write_file(report, box_text().toStdString());
             answer("OK");
         })
        .then("still on the page", on_page(select_files), [] {});
}

// From the start through a conversion of the folder's document to "Save Settings..." on
// the finish page.
script& to_save_settings(script& steps, const shared_folder& folder)
{
    return to_select_files(steps)
        .then("select files", on_page(select_files), [&folder] {
            fill(folder.src, folder.root.file("out.txt"));
            click_sheet(plat::ID_PSNEXT);
        })
        .then("finish page", on_page(finish), [] { click(g_finish::save_settings_id); });
}

// The folder that the file dialog on top shows, with a trailing separator.
std::string opened_in()
{
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    return dialog->directory().absolutePath().toStdString() + "/";
}

// Whether a file can be made in `folder` now (and is removed again).
bool can_make_a_file_in(const std::string& folder)
{
    const std::string probe = folder + "probe-" + std::to_string(getpid());
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

} // namespace

class wizard_unprivileged_test : public QObject {
    Q_OBJECT

private slots:
    void read_only_destination_is_refused_without_question()
    {
        shared_folder folder;
        const std::string dest = folder.root.file("read-only.txt");
        write_file(dest, "keep");
        test_support::set_mode(dest, 0444);
        const std::string report = folder.root.file("report");
        const int result = run_unprivileged_wizard([&](script& steps) {
            to_select_files(steps)
                .then("select files", on_page(select_files), [&] {
                    fill(folder.src, dest);
                    click_sheet(plat::ID_PSNEXT);
                });
            report_box_and_stay(steps, report);
            cancel_and_confirm(steps);
        });
        QCOMPARE(result, 0);
        QCOMPARE(read_file(report), std::string(msg::dest_read_only));
        QCOMPARE(read_file(dest), std::string("keep"));
    }

    // A new destination in a folder that the user may enter but not write: the run could not
    // create it, so Next refuses it with the system's reason, and the page stays.
    void folder_that_cannot_be_written_is_refused_on_next()
    {
        shared_folder folder;
        const std::filesystem::path locked = folder.root.path() / "locked";
        std::filesystem::create_directory(locked);
        test_support::set_mode(locked, 0555);
        const std::string report = folder.root.file("report");
        const int result = run_unprivileged_wizard([&](script& steps) {
            to_select_files(steps)
                .then("select files", on_page(select_files), [&] {
                    fill(folder.src, (locked / "out.txt").string());
                    click_sheet(plat::ID_PSNEXT);
                });
            report_box_and_stay(steps, report);
            cancel_and_confirm(steps);
        });
        QCOMPARE(result, 0);
        plat::set_last_error(EACCES);
        QCOMPARE(read_file(report), std::string(tk_exception_ex().what()));
        QVERIFY(!std::filesystem::exists(locked / "out.txt"));
    }

    // A file that the user may write, in a folder that the user may not write: Yes to the
    // overwrite question, and the run writes it in place, since nothing is deleted.
    void writable_file_in_a_folder_that_cannot_be_written_is_converted_into()
    {
        shared_folder folder;
        const std::filesystem::path locked = folder.root.path() / "locked";
        std::filesystem::create_directory(locked);
        const std::string dest = (locked / "old.txt").string();
        write_file(dest, "keep");
        test_support::set_mode(dest, 0666);
        test_support::set_mode(locked, 0555);
        const int result = run_unprivileged_wizard([&](script& steps) {
            to_select_files(steps)
                .then("select files", on_page(select_files), [&] {
                    fill(folder.src, dest);
                    click_sheet(plat::ID_PSNEXT);
                })
                .then("overwrite question", box_says(msg::dest_overwrite), [] { answer("&Yes"); })
                .then("finish page", on_page(finish), [] { click_sheet(plat::ID_PSFINISH); });
        });
        QCOMPARE(result, 1);
        QCOMPARE(page_breaks(read_file(dest)), 5);
        QCOMPARE(test_support::files_below(locked), std::set<std::string> {"old.txt"});
    }

    // Where the program's own folder takes no files, "Save Settings..." starts in the
    // documents folder, or in the home folder when there is no documents folder.
    void the_profile_dialog_starts_in_documents_or_home_data()
    {
        QTest::addColumn<bool>("documents_there");
        QTest::newRow("with a documents folder") << true;
        QTest::newRow("without a documents folder") << false;
    }
    void the_profile_dialog_starts_in_documents_or_home()
    {
        QFETCH(bool, documents_there);
        shared_folder folder;
        const std::string home = folder.root.file("home") + "/";
        if (!documents_there)
            std::filesystem::remove(home + "Documents");
        const std::string start_report = folder.root.file("start");
        const int result = run_unprivileged_wizard([&](script& steps) {
            to_save_settings(steps, folder)
                .then("profile dialog", modal_named(QStringLiteral("plat_file_dialog")), [&] {
                    const std::string program = tk_get_module_dir();
                    const std::string expected = can_make_a_file_in(program) ? program
                                                 : documents_there           ? home + "Documents/"
                                                                             : home;
                    const std::string started = opened_in();
                    write_file(start_report, started == expected ? "fits" : started + " instead of " + expected);
                    choose_in_file_dialog(QString());
                })
                .then("finish", on_page(finish), [] { click_sheet(plat::ID_PSFINISH); });
        });
        QCOMPARE(result, 1);
        QCOMPARE(read_file(start_report), std::string("fits"));
    }

    // "Save Settings..." opens where the user can save: the program's own folder when the
    // user may make files there, otherwise the documents folder. A folder where nothing can be
    // created gets the program's error box with the file and the system's reason, and no
    // file; a save elsewhere afterwards succeeds.
    void profile_that_cannot_be_saved_is_told()
    {
        shared_folder folder;
        const std::filesystem::path locked = folder.root.path() / "locked";
        std::filesystem::create_directory(locked);
        test_support::set_mode(locked, 0555);
        const std::string report = folder.root.file("report");
        const std::string start_report = folder.root.file("start");
        auto save_as = [](const std::string& name) {
            return [name] { choose_in_file_dialog(QString::fromStdString(name)); };
        };
        const int result = run_unprivileged_wizard([&](script& steps) {
            to_save_settings(steps, folder)
                .then("profile dialog", modal_named(QStringLiteral("plat_file_dialog")), [&] {
                    const std::string started = opened_in();
                    const std::string program = tk_get_module_dir();
                    const bool fits = can_make_a_file_in(started) &&
                                      (started == program ||
                                       (!can_make_a_file_in(program) && started == tk_get_user_home_path() + "/"));
                    write_file(start_report, fits ? "fits" : started);
                    save_as((locked / "profile").string())();
                })
                .then("error box", [] { return box() != nullptr; }, [&] {
                    write_file(report, box_caption().toStdString() + "|" + box_text().toStdString());
                    answer("OK");
                })
                .then("finish page again", on_page(finish), [] { click(g_finish::save_settings_id); })
                .then("profile dialog again", modal_named(QStringLiteral("plat_file_dialog")),
                      save_as(folder.root.file("saved")))
                .then("no box, finish", on_page(finish), [] { click_sheet(plat::ID_PSFINISH); });
        });
        QCOMPARE(result, 1);
        QCOMPARE(read_file(start_report), std::string("fits"));
        plat::set_last_error(EACCES);
        const std::string expected = std::string("Lumetra 3.3 Error|") + msg::profile_not_saved + "\n" +
                                     (locked / "profile.qlp").string() + "\n" + tk_exception_ex().what();
        QCOMPARE(read_file(report), expected);
        QVERIFY(!std::filesystem::exists(locked / "profile.qlp"));
        QVERIFY(read_file(folder.root.file("saved.qlp")).find("[Generic settings]\r\n") == 0);
    }
};

// No application object in this process: each child makes its own.
int main(int argc, char** argv)
{
    wizard_unprivileged_test test;
    return QTest::qExec(&test, argc, argv);
}

#include "wizard_unprivileged_test.moc"
