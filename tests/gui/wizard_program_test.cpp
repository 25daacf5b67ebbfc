// The wizard program from its start to its end, driven as a user would: its pages, their
// checks and boxes, the conversion on the worker thread, the finish page and the settings
// that the program leaves in the store.
// Qt's headers come first: the PDF library's headers define macros that clash with its names.
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTest>
#include <QUrl>

#include "g_finish_page.h"
#include "message_table.h"
#include "plat_gui_constants.h"
#include "progress_page.h"
#include "quillet_convertor.h"
#include "quillet_entry.h"
#include "select_files_page.h"
#include "test_support.h"
#include "wizard_driver.h"
#include "wizard_program_support.h"

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

constexpr int welcome = 103;
constexpr int select_files = 104;
constexpr int progress = 105;
constexpr int finish = 126;

using page = sel_file_page;

// Runs the whole program with the script acting on it; returns its exit code.
int run_wizard(script& steps)
{
    steps.start();
    char name[] = "quillet";
    char* argv[] = {name, nullptr};
    const int result = quillet_win_main(1, argv);
    if (!steps.done())
        qWarning("the wizard ended before its script");
    return result;
}

std::function<bool()> at_once()
{
    return [] { return true; };
}

// Welcome page, then Next.
script& to_select_files(script& steps)
{
    return steps.then("welcome page", on_page(welcome), [] { click_sheet(plat::ID_PSNEXT); });
}

script& cancel_and_confirm(script& steps)
{
    return steps.then("cancel", at_once(), [] { click_sheet(plat::IDCANCEL); })
        .then("exit question", box_says(msg::exit_question), [] { answer("&Yes"); });
}

// Fills the select-files page without moving the focus, so no destination is proposed.
void fill(const std::string& src, const std::string& dest)
{
    put(page::src_edit, src);
    put(page::dest_edit, dest);
}

// Catches the desktop's open requests for files, so the tests open nothing.
class open_catcher : public QObject {
    Q_OBJECT
public:
    open_catcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~open_catcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    std::vector<QUrl> requests;
public slots:
    void open(const QUrl& url) { requests.push_back(url); }
};

} // namespace

class wizard_program_test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<temp_dir> root;
    // No test opens a viewer: the desktop's open requests end here.
    std::unique_ptr<open_catcher> opened;
    std::string out(const std::string& name) const { return root->file(name); }

private slots:
    void init()
    {
        root = std::make_unique<temp_dir>();
        use_home(*root);
        opened = std::make_unique<open_catcher>();
    }
    void cleanup()
    {
        opened.reset();
        root.reset();
    }

    void first_start_shows_empty_page_and_cancel_stores_settings()
    {
        bool empty = false, all = false, password_off = false, range_off = false;
        script steps;
        to_select_files(steps).then("select files", on_page(select_files), [&] {
            empty = text_of(page::src_edit).empty() && text_of(page::dest_edit).empty();
            password_off = !checked(page::use_password_box) && !enabled(page::password_edit);
            all = checked(page::all_pages_radio) && !checked(page::some_pages_radio);
            range_off = !enabled(page::range_edit);
        });
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);
        QVERIFY(empty);
        QVERIFY(password_off);
        QVERIFY(all);
        QVERIFY(range_off);
        // Cancel still stores the (unchanged) settings: all five values are in the store now.
        const stored_settings stored = load_settings();
        QVERIFY(stored.all_present);
        QVERIFY(stored.open_on_exit);
    }

    void stored_password_and_range_are_shown_on_arrival()
    {
        store_settings({true, false, "/docs/a.pdf", "/out/a.txt", "2-3", "user-secret"});
        bool password_on = false, range_on = false, range_has_focus = false;
        std::string src, dest, password, range;
        script steps;
        to_select_files(steps).then("select files", on_page(select_files), [&] {
            src = text_of(page::src_edit);
            dest = text_of(page::dest_edit);
            password_on = checked(page::use_password_box) && enabled(page::password_edit);
            password = text_of(page::password_edit);
            range_on = checked(page::some_pages_radio) && !checked(page::all_pages_radio) && enabled(page::range_edit);
            range = text_of(page::range_edit);
            range_has_focus = QApplication::focusWidget() == item(page::range_edit);
        });
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);
        QCOMPARE(src, std::string("/docs/a.pdf"));
        QCOMPARE(dest, std::string("/out/a.txt"));
        QVERIFY(password_on);
        QCOMPARE(password, std::string("user-secret"));
        QVERIFY(range_on);
        QCOMPARE(range, std::string("2-3"));
        QVERIFY(range_has_focus);
    }

    void default_destination_follows_the_source_data()
    {
        QTest::addColumn<QString>("src");
        QTest::addColumn<QString>("dest");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("box");
        QTest::newRow("keeps the destination's folder")
            << "/docs/report.pdf" << "/out/old.txt" << "/out/report.txt" << "";
        QTest::newRow("empty destination: beside the documents folder")
            << "/docs/report.final.pdf" << "" << "~/report.final.txt" << "";
        QTest::newRow("empty source changes nothing") << "" << "/out/typed.txt" << "/out/typed.txt" << "";
        QTest::newRow("source too long to be made full")
            << "/" + QString(300, QLatin1Char('s')) + ".pdf" << "/out/old.txt" << "/out/old.txt" << msg::path_too_long;
    }
    void default_destination_follows_the_source()
    {
        QFETCH(QString, src);
        QFETCH(QString, dest);
        QFETCH(QString, proposed);
        QFETCH(QString, box);
        // "~" is the test's home folder.
        proposed.replace(QLatin1Char('~'), QString::fromStdString(root->file("home")));
        std::string shown_box, after;
        script steps;
        to_select_files(steps).then("select files", on_page(select_files), [&] {
            fill(src.toStdString(), dest.toStdString());
            focus(page::src_edit);
        });
        steps.then("source has the focus", [] { return QApplication::focusWidget() == item(page::src_edit); },
                   [] { focus(page::dest_edit); });
        if (!box.isEmpty())
            steps.then("error box", [] { return !box_text().isEmpty(); }, [&] {
                shown_box = box_text().toStdString();
                answer("OK");
            });
        steps.then("focus left the source", on_page(select_files), [&] { after = text_of(page::dest_edit); });
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);
        QCOMPARE(after, proposed.toStdString());
        QCOMPARE(shown_box, box.toStdString());
    }

    // Every check of Next in its order: each input is mended in turn, so each box shows the
    // first check that still fails; the page stays until all pass.
    void next_checks_each_input_in_order()
    {
        const std::string existing = out("existing.txt");
        write_file(existing, "keep me");
        std::vector<std::string> boxes;
        std::vector<int> pages_after;
        bool existing_kept_on_no = false;
        auto record_box = [&](const QString& button) {
            return [&, button] {
                boxes.push_back(box_text().toStdString());
                answer(button);
            };
        };
        auto press_next = [&] {
            pages_after.push_back(current_page());
            click_sheet(plat::ID_PSNEXT);
        };
        auto any_box = [] { return box() != nullptr; };

        script steps;
        to_select_files(steps)
            .then("bad range", on_page(select_files), [&] {
                click(page::some_pages_radio);
                put(page::range_edit, "3-x");
                press_next();
            })
            .then("range box", any_box, record_box("OK"))
            .then("all pages", on_page(select_files), [&] {
                click(page::all_pages_radio);
                press_next();
            })
            .then("source box", any_box, record_box("OK"))
            .then("source", on_page(select_files), [&] {
                put(page::src_edit, out("missing.pdf"));
                press_next();
            })
            .then("destination box", any_box, record_box("OK"))
            .then("destination", on_page(select_files), [&] {
                put(page::dest_edit, existing);
                press_next();
            })
            .then("missing source box", any_box, record_box("OK"))
            .then("not a pdf", on_page(select_files), [&] {
                put(page::src_edit, fixture("not_a_pdf.pdf"));
                press_next();
            })
            .then("unreadable box", any_box, record_box("OK"))
            .then("encrypted without password", on_page(select_files), [&] {
                put(page::src_edit, fixture("five_pages_aes_256.pdf"));
                press_next();
            })
            .then("password box", any_box, record_box("OK"))
            .then("wrong password", on_page(select_files), [&] {
                click(page::use_password_box);
                put(page::password_edit, "wrong");
                press_next();
            })
            .then("wrong password box", any_box, record_box("OK"))
            .then("missing folder", on_page(select_files), [&] {
                put(page::password_edit, "user-secret");
                put(page::dest_edit, out("no-such-folder/out.txt"));
                press_next();
            })
            .then("missing folder box", any_box, record_box("OK"))
            .then("existing destination", on_page(select_files), [&] {
                put(page::dest_edit, existing);
                press_next();
            })
            .then("overwrite question, No", any_box, record_box("&No"))
            .then("still on the page", on_page(select_files), [&] {
                existing_kept_on_no = read_file(existing) == "keep me";
                press_next();
            })
            .then("overwrite question, Yes", any_box, record_box("&Yes"))
            .then("finish page", on_page(finish), [] { click_sheet(plat::ID_PSFINISH); });
        QCOMPARE(run_wizard(steps), 1);

        const std::vector<std::string> expected{msg::invalid_page_range,
                                                msg::enter_source,
                                                msg::enter_dest,
                                                msg::source_missing,
                                                std::string(msg::pdf_unreadable),
                                                msg::incorrect_password,
                                                msg::incorrect_password,
                                                msg::dest_path_missing,
                                                msg::dest_overwrite,
                                                msg::dest_overwrite};
        QCOMPARE(boxes, expected);
        for (int shown : pages_after)
            QCOMPARE(shown, select_files);
        QVERIFY(existing_kept_on_no);
        // The old file went; the run wrote the five pages of the encrypted document in its place.
        const std::string written = read_file(existing);
        QCOMPARE(page_breaks(written), 5);
        QVERIFY(written.find("keep me") == std::string::npos);
    }

    void stored_destination_is_the_checked_name_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("checked");
        QTest::newRow("no extension") << "result" << "result.txt";
        QTest::newRow("case differs") << "Result.TXT" << "Result.TXT.txt";
        QTest::newRow(".txt inside the name") << "a.txt.bak" << "a.txt.bak";
    }
    void stored_destination_is_the_checked_name()
    {
        QFETCH(QString, typed);
        QFETCH(QString, checked);
        std::string edit_after_next, dest_after_next;
        QPointer<QWidget> dest_edit;
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                fill(fixture("five_pages.pdf"), out(typed.toStdString()));
                dest_edit = item(page::dest_edit);
                click_sheet(plat::ID_PSNEXT);
            })
            .then("progress page", [] { return current_page() == progress || current_page() == finish; }, [&] {
                // The select-files page's window lives on behind the progress page.
                edit_after_next = plat::get_window_text(dest_edit, 260);
                dest_after_next = quillet_convertor::instance()->dest;
            })
            .then("finish page", on_page(finish), [] { click_sheet(plat::ID_PSFINISH); });
        QCOMPARE(run_wizard(steps), 1);
        QCOMPARE(edit_after_next, out(typed.toStdString()));
        QCOMPARE(dest_after_next, out(checked.toStdString()));
        QCOMPARE(page_breaks(read_file(out(checked.toStdString()))), 5);
        QCOMPARE(load_settings().dest, out(checked.toStdString()));
    }
};

QTEST_MAIN(wizard_program_test)
#include "wizard_program_test.moc"
