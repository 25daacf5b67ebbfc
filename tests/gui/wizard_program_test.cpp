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
#include <QProcess>
#include <QProgressBar>
#include <QTest>
#include <QUrl>

#include "../fixtures/five_pages_text.h"
#include "../fixtures/long_password.h"
#include "broken_page_trees.h"
#include "g_finish_page.h"
#include "message_table.h"
#include "plat_error.h"
#include "plat_gui_constants.h"
#include "progress_page.h"
#include "quillet_convertor.h"
#include "planted_links.h"
#include "run_gate.h"
#include "select_files_page.h"
#include "source_changes.h"
#include "test_support.h"
#include "tk_exception.h"
#include "wizard_driver.h"
#include "wizard_program_support.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <poll.h>
#include <set>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace wizard_driver;
using namespace wizard_test;
using test_support::read_file;
using test_support::run_gate;
using test_support::temp_dir;
using test_support::write_file;

namespace {

using page = sel_file_page;

// A message as the error box and the finish page's list show it: each newline a blank.
std::string as_reported(std::string message)
{
    std::replace(message.begin(), message.end(), '\n', ' ');
    return message;
}

// What a user sees of a run that fails: the run's error box, then the finish page.
struct failed_run {
    std::string box;
    std::string result;
    std::string errors;
};

// The end of a script whose run fails: OK to the run's error box, then Finish on the finish
// page; what they show goes to `seen`.
script& to_the_finish_of_a_failed_run(script& steps, failed_run& seen)
{
    return steps
        .then("the run's error box", [] { return !box_text().isEmpty(); }, [&seen] {
            seen.box = box_text().toStdString();
            answer("OK");
        })
        .then("finish page", on_page(finish), [&seen] {
            seen.result = text_of(g_finish::result_id);
            seen.errors = text_of(g_finish::errors_id);
            click_sheet(plat::ID_PSFINISH);
        });
}

// A run that failed as on an unreadable document, as the user saw it.
void expect_unreadable(const failed_run& seen)
{
    const std::string unreadable = as_reported(msg::pdf_unreadable);
    QCOMPARE(seen.box, unreadable);
    QCOMPARE(seen.result, std::string(msg::finish_errors));
    QCOMPARE(seen.errors, unreadable + "\n\n");
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

// An open file of the test's own, closed when it goes, also when a check fails half way.
struct descriptor {
    explicit descriptor(int fd_) : fd(fd_) {}
    ~descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    descriptor(const descriptor&) = delete;
    descriptor& operator=(const descriptor&) = delete;
    int fd;
};

} // namespace

class wizard_program_test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<temp_dir> root;
    // No test opens a viewer: the desktop's open requests end here.
    std::unique_ptr<open_catcher> opened;
    std::string out(const std::string& name) const { return root->file(name); }

    // Fills the select-files page with `fill_page` and presses Next: the one box that comes
    // must say `expected_box`, the page must stay, and the destination out.txt, which exists,
    // keep its bytes.
    void refused_on_next(const std::function<void()>& fill_page, const std::string& expected_box)
    {
        const std::string dest = out("out.txt");
        write_file(dest, "keep me");
        std::vector<std::string> boxes;
        int page_after = 0;
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                fill_page();
                click_sheet(plat::ID_PSNEXT);
            })
            .then("error box", [] { return box() != nullptr; }, [&] {
                boxes.push_back(box_text().toStdString());
                answer("OK");
            })
            .then("back on the page", on_page(select_files), [&] { page_after = current_page(); });
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);
        QCOMPARE(boxes, std::vector<std::string>{expected_box});
        QCOMPARE(page_after, select_files);
        QCOMPARE(read_file(dest), std::string("keep me"));
    }

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

    // The Browse buttons: a chosen source fills its edit and proposes the destination at once,
    // a chosen destination fills its edit, cancelling changes nothing, and a source too long
    // to be made full ends in the error box before any dialog, with the page kept.
    void browse_buttons_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("src");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("expected_src");
        QTest::addColumn<QString>("expected_dest");
        QTest::addColumn<QString>("expected_box");
        QTest::newRow("source chosen") << page::browse_src_button << "" << "@/five_pages.pdf" << "@/five_pages.pdf"
                                       << "@/out/five_pages.txt" << "";
        QTest::newRow("source cancelled") << page::browse_src_button << "" << "" << "" << "@/out/old.txt" << "";
        QTest::newRow("destination chosen") << page::browse_dest_button << "" << "@/out/notes" << ""
                                            << "@/out/notes.txt" << "";
        QTest::newRow("destination cancelled")
            << page::browse_dest_button << "" << "" << "" << "@/out/old.txt" << "";
        const QString long_name = "/" + QString(300, QLatin1Char('s')) + ".pdf";
        QTest::newRow("source too long") << page::browse_src_button << long_name << "" << long_name << "@/out/old.txt"
                                         << msg::path_too_long;
    }
    void browse_buttons()
    {
        QFETCH(int, button);
        QFETCH(QString, src);
        QFETCH(QString, chosen);
        QFETCH(QString, expected_src);
        QFETCH(QString, expected_dest);
        QFETCH(QString, expected_box);
        // "@" is the test's folder, which holds the document and the folder "out".
        const QString folder = QString::fromStdString(root->path().string());
        for (QString* text : {&src, &chosen, &expected_src, &expected_dest})
            text->replace(QLatin1Char('@'), folder);
        std::filesystem::create_directory(root->path() / "out");
        write_file(out("five_pages.pdf"), read_file(fixture("five_pages.pdf")));

        std::string shown_box, src_after, dest_after;
        script steps;
        to_select_files(steps).then("select files", on_page(select_files), [&] {
            fill(src.toStdString(), out("out/old.txt"));
            click(button);
        });
        if (expected_box.isEmpty())
            steps.then("file dialog", modal_named(QStringLiteral("plat_file_dialog")), [&] {
                choose_in_file_dialog(chosen);
            });
        else
            steps.then("error box", [] { return box() != nullptr; }, [&] {
                shown_box = box_text().toStdString();
                answer("OK");
            });
        steps.then("back on the page", on_page(select_files), [&] {
            src_after = text_of(page::src_edit);
            dest_after = text_of(page::dest_edit);
        });
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);
        QCOMPARE(QString::fromStdString(src_after), expected_src);
        QCOMPARE(QString::fromStdString(dest_after), expected_dest);
        QCOMPARE(QString::fromStdString(shown_box), expected_box);
    }

    // Every check of Next in its order: each input is mended in turn, so each box shows the
    // first check that still fails; the page stays until all pass.
    void next_checks_each_input_in_order()
    {
        const std::string existing = out("existing.txt");
        write_file(existing, "keep me");
        std::vector<std::string> boxes;
        std::set<std::string> captions;
        std::vector<int> pages_after;
        bool existing_kept_on_no = false;
        auto record_box = [&](const QString& button) {
            return [&, button] {
                boxes.push_back(box_text().toStdString());
                captions.insert(box_caption().toStdString());
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
        QCOMPARE(captions, (std::set<std::string>{"Lumetra 3.3 Error", "Lumetra 3.3 Message", "Lumetra 3.3 Question"}));
        for (int shown : pages_after)
            QCOMPARE(shown, select_files);
        QVERIFY(existing_kept_on_no);
        // The run replaced the old text with the five pages of the encrypted document.
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
    // A document from Next to the finish page: the bar and the status line move with the
    // run, and the destination holds every page in order with CR LF line ends. The run is
    // held before its first page and again after two pages, so the ticks see it there.
    void conversion_moves_the_bar_to_the_finish_page()
    {
        constexpr int pages = 4;
        const std::string src = out("doc.pdf");
        write_file(src, long_document(pages));
        run_gate gate;
        std::vector<int> bar_values;
        std::set<std::string> statuses;
        bool back_next_off = false, cancel_on = false;
        std::string result_text;
        // The progress page's controls, watched also after the switch: the last tick sets them
        // on the hidden page.
        QPointer<QProgressBar> bar;
        QPointer<QWidget> status;
        auto shows = [&](int value, const std::string& text) {
            return [&, value, text] {
                return bar != nullptr && bar->value() == value && plat::get_window_text(status, 260) == text;
            };
        };
        script steps;
        steps.watching([&] {
            if (bar == nullptr && current_page() == progress) {
                bar = qobject_cast<QProgressBar*>(item(progress_page::bar_id));
                status = item(progress_page::status_id);
            }
            if (bar == nullptr)
                return;
            if (bar_values.empty() || bar_values.back() != bar->value())
                bar_values.push_back(bar->value());
            statuses.insert(plat::get_window_text(status, 260));
        });
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                quillet_convertor::instance()->before_page_for_tests = gate.hook();
                fill(src, out("doc.txt"));
                click_sheet(plat::ID_PSNEXT);
            })
            .then("progress page", on_page(progress), [&] {
                back_next_off = !sheet_item(plat::ID_PSBACK)->isEnabled() && !sheet_item(plat::ID_PSNEXT)->isEnabled();
                cancel_on = sheet_item(plat::IDCANCEL)->isEnabled();
            })
            .then("held before the first page", shows(0, "Processing page 0 of 4"), [&] { gate.allow(2); })
            .then("held after two pages", shows(50, "Processing page 2 of 4"), [&] { gate.allow_all(); })
            .then("finish page", on_page(finish), [&] {
                result_text = text_of(g_finish::result_id);
                click_sheet(plat::ID_PSFINISH);
            });
        QCOMPARE(run_wizard(steps), 1);

        QVERIFY(back_next_off);
        QVERIFY(cancel_on);
        QCOMPARE(bar_values.front(), 0);
        QVERIFY(std::find(bar_values.begin(), bar_values.end(), 50) != bar_values.end());
        QVERIFY(std::is_sorted(bar_values.begin(), bar_values.end()));
        QCOMPARE(bar_values.back(), 100);
        QCOMPARE(statuses.count("Processing page 4 of 4"), std::size_t(1));
        QCOMPARE(result_text, std::string(msg::finish_success));

        const std::string text = read_file(out("doc.txt"));
        QCOMPARE(page_breaks(text), pages);
        std::size_t at = 0;
        for (int k = 1; k <= pages; ++k) {
            at = text.find("Page " + std::to_string(k) + " of " + std::to_string(pages) + "\r\n", at);
            QVERIFY2(at != std::string::npos, qPrintable(QString::number(k)));
        }
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n')
                QVERIFY(i > 0 && text[i - 1] == '\r');
    }

    // A document without pages: the run ends at once and the wizard moves on to the finish
    // page with the success text; the destination stays empty.
    void document_without_pages_reaches_the_finish_page()
    {
        std::string result_text;
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                fill(fixture("no_pages.pdf"), out("empty.txt"));
                click_sheet(plat::ID_PSNEXT);
            })
            .then("finish page", on_page(finish), [&] {
                result_text = text_of(g_finish::result_id);
                click_sheet(plat::ID_PSFINISH);
            });
        QCOMPARE(run_wizard(steps), 1);
        QCOMPARE(result_text, std::string(msg::finish_success));
        QCOMPARE(read_file(out("empty.txt")), std::string());
    }

    // The run fails after the checks passed: its error box comes from the worker, and the
    // finish page lists the error instead of the success text.
    void failed_run_is_listed_on_the_finish_page_data()
    {
        QTest::addColumn<bool>("spoil_source");
        QTest::addColumn<QString>("error");
        const std::string unreadable = as_reported(msg::pdf_unreadable);
        // The source changes into garbage while the overwrite question waits.
        QTest::newRow("source spoiled after the checks") << true << QString::fromStdString(unreadable);
        // A link into a folder that does not exist: the run can't create the destination.
        QTest::newRow("destination a link into a missing folder") << false << QString::fromLatin1(std::strerror(ENOENT));
    }

    void failed_run_is_listed_on_the_finish_page()
    {
        QFETCH(bool, spoil_source);
        QFETCH(QString, error);
        const std::string src = out("doc.pdf");
        const std::string dest = out("doc.txt");
        write_file(src, read_file(fixture("five_pages.pdf")));
        if (spoil_source)
            write_file(dest, "old");
        else
            QVERIFY(symlink(out("missing/doc.txt").c_str(), dest.c_str()) == 0);
        std::string run_box, result_text, errors_text;
        bool errors_shown = false, errors_read_only = false, hint_hidden = false, cancel_help_off = false;
        script steps;
        if (spoil_source)
            to_failing_run(steps, src, dest);
        else
            to_select_files(steps).then("select files", on_page(select_files), [&] {
                fill(src, dest);
                click_sheet(plat::ID_PSNEXT);
            });
        steps.then("the run's error box", [] { return !box_text().isEmpty(); }, [&] {
                 run_box = box_text().toStdString();
                 answer("OK");
             })
            .then("finish page", on_page(finish), [&] {
                result_text = text_of(g_finish::result_id);
                auto* errors = qobject_cast<QPlainTextEdit*>(item(g_finish::errors_id));
                errors_shown = errors->isVisible();
                errors_read_only = errors->isReadOnly();
                errors_text = errors->toPlainText().toStdString();
                hint_hidden = !visible(g_finish::hint_id) && !visible(g_finish::open_on_exit_id);
                cancel_help_off = !sheet_item(plat::IDCANCEL)->isEnabled() && !sheet_item(plat::IDHELP)->isEnabled();
                click_sheet(plat::ID_PSFINISH);
            });
        QCOMPARE(run_wizard(steps), 1);

        const std::string report = error.toStdString();
        QCOMPARE(run_box, report);
        QCOMPARE(result_text, std::string(msg::finish_errors));
        QVERIFY(errors_shown);
        QVERIFY(errors_read_only);
        QCOMPARE(errors_text, report + "\n\n");
        QVERIFY(hint_hidden);
        QVERIFY(cancel_help_off);
        // Not deleted on Yes, nor written by the failed run; a link stays a link to nothing.
        if (spoil_source) {
            QCOMPARE(read_file(dest), std::string("old"));
        } else {
            QVERIFY(std::filesystem::is_symlink(dest));
            QVERIFY(!std::filesystem::exists(dest));
        }
    }

    // The source changes while the overwrite question waits: Yes lets the run start, which
    // opens and checks the document again, fails on what the source has become, and leaves
    // the destination as it was.
    void source_replaced_while_the_overwrite_question_is_open_leaves_the_destination_data()
    {
        QTest::addColumn<QString>("replacement");
        QTest::newRow("renamed over by a tree with more pages than its count") << "tree_count_under.pdf";
        QTest::newRow("renamed over by a document whose page 3 can't be made")
            << "rebuilt_table_page_3_broken_first.pdf";
        QTest::newRow("removed") << "";
    }
    void source_replaced_while_the_overwrite_question_is_open_leaves_the_destination()
    {
        QFETCH(QString, replacement);
        const std::string src = out("doc.pdf");
        const std::string dest = out("doc.txt");
        write_file(src, read_file(fixture("five_pages.pdf")));
        write_file(dest, "old");
        failed_run seen;
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                fill(src, dest);
                click_sheet(plat::ID_PSNEXT);
            })
            .then("overwrite question", box_says(msg::dest_overwrite), [&] {
                if (replacement.isEmpty()) {
                    std::filesystem::remove(src);
                } else {
                    write_file(out("new.pdf"), read_file(fixture(replacement.toStdString())));
                    std::filesystem::rename(out("new.pdf"), src);
                }
                answer("&Yes");
            });
        to_the_finish_of_a_failed_run(steps, seen);
        QCOMPARE(run_wizard(steps), 1);
        expect_unreadable(seen);
        QCOMPARE(read_file(dest), std::string("old"));
    }

    // Another program writes the source while the run converts it, held after two of its five
    // pages: the run fails as on an unreadable document, and the existing destination keeps
    // its bytes. A rename leaves the file that the run opened: it converts that one, whole.
    void a_source_written_during_the_run_fails_it_data()
    {
        QTest::addColumn<int>("change");
        for (std::size_t i = 0; i < std::size(test_support::source_changes); ++i)
            QTest::newRow(test_support::source_changes[i].name) << static_cast<int>(i);
    }
    void a_source_written_during_the_run_fails_it()
    {
        QFETCH(int, change);
        const test_support::source_change& changing = test_support::source_changes[change];
        const std::string original = read_file(fixture("five_pages.pdf"));
        const std::string src = out("doc.pdf");
        const std::string dest = out("doc.txt");
        test_support::write_dated_source(src, original);
        write_file(dest, "old");
        run_gate gate;
        gate.allow(2);
        failed_run seen;
        std::string result_text;
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                quillet_convertor::instance()->before_page_for_tests = gate.hook();
                fill(src, dest);
                click_sheet(plat::ID_PSNEXT);
            })
            .then("overwrite question", box_says(msg::dest_overwrite), [] { answer("&Yes"); })
            .then("run held after two pages",
                  [] { return current_page() == progress && quillet_convertor::instance()->pages_done == 2; },
                  [&] {
                      gate.wait_until_held_at(2);
                      changing.apply(src, original);
                      gate.allow_all();
                  });
        if (changing.fails)
            to_the_finish_of_a_failed_run(steps, seen);
        else
            steps.then("finish page", on_page(finish), [&] {
                result_text = text_of(g_finish::result_id);
                click_sheet(plat::ID_PSFINISH);
            });
        QCOMPARE(run_wizard(steps), 1);
        if (changing.fails) {
            expect_unreadable(seen);
            QCOMPARE(read_file(dest), std::string("old"));
        } else {
            QCOMPARE(result_text, std::string(msg::finish_success));
            QCOMPARE(read_file(dest), fixture_text::five_pages({1, 2, 3, 4, 5}));
        }
    }

    // Cancel while the worker converts: Yes closes the wizard, the run stops between pages
    // and is awaited before the converter goes, which stores the settings. The run is held
    // after two pages, so the cancel always meets it there.
    void cancel_during_the_run_stops_it()
    {
        const std::string src = out("doc.pdf");
        write_file(src, long_document(5));
        run_gate gate;
        gate.allow(2);
        std::uint32_t done_at_cancel = 0;
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                quillet_convertor::instance()->before_page_for_tests = gate.hook();
                fill(src, out("doc.txt"));
                click_sheet(plat::ID_PSNEXT);
            })
            .then("run held after two pages",
                  [] { return current_page() == progress && quillet_convertor::instance()->pages_done == 2; },
                  [] { click_sheet(plat::IDCANCEL); })
            .then("exit question", box_says(msg::exit_question), [&] {
                done_at_cancel = quillet_convertor::instance()->pages_done;
                answer("&Yes");
            });
        QCOMPARE(run_wizard(steps), 0);
        QCOMPARE(done_at_cancel, std::uint32_t(2));
        QCOMPARE(page_breaks(read_file(out("doc.txt"))), 2);
        const stored_settings stored = load_settings();
        QCOMPARE(stored.src, src);
        QCOMPARE(stored.dest, out("doc.txt"));
    }

    // Cancel while the run is blocked in a system call that never returns (before its first
    // page it reads a pipe that nobody writes): Yes still ends the program, with Cancel's exit
    // code and the settings stored, and the run has written no page. The wizard runs as a
    // program of its own, so that the test sees it end; a wizard that waits for its run is
    // killed after 30 seconds and fails the test.
    void cancel_during_a_blocked_run_ends_the_program()
    {
        const std::string src = out("doc.pdf");
        const std::string dest = out("doc.txt");
        write_file(src, long_document(3));
        QProcess wizard;
        wizard.start(QStringLiteral(QLT_BINARY_DIR "/tests/gui/blocked_run_wizard"),
                     {QString::fromStdString(src), QString::fromStdString(dest)});
        const bool ended = wizard.waitForFinished(30000);
        if (!ended) {
            wizard.kill();
            wizard.waitForFinished(10000);
        }
        const QByteArray said = wizard.readAllStandardOutput();
        // A wizard that did not end well tells why on its error stream, which goes to the
        // test's own, whole (a sanitizer's report is longer than a failure's message).
        if (!ended || wizard.exitStatus() != QProcess::NormalExit || wizard.exitCode() != 0)
            std::fputs(wizard.readAllStandardError().constData(), stderr);
        QVERIFY2(ended, qPrintable("still running 30 s after its start; it said: " + said));
        QCOMPARE(wizard.exitStatus(), QProcess::NormalExit);
        QCOMPARE(wizard.exitCode(), 0);
        QCOMPARE(said, QByteArray("blocked\n"));
        const stored_settings stored = load_settings();
        QCOMPARE(stored.src, src);
        QCOMPARE(stored.dest, dest);
        QVERIFY(!std::filesystem::exists(dest) || page_breaks(read_file(dest)) == 0);
    }

    // "Save Settings..." writes the profile with the dialog's default extension; Finish with
    // "Open on exit" asks the desktop to open the full path of a relative destination, and
    // the store then holds what the wizard ran with.
    void save_settings_open_on_exit_and_the_store_after_finish()
    {
        const std::filesystem::path before = std::filesystem::current_path();
        std::filesystem::current_path(root->path());
        std::string profile_text;
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                fill(fixture("five_pages_rc4_128.pdf"), "relative");
                click(page::use_password_box);
                put(page::password_edit, "user-secret");
                click(page::some_pages_radio);
                put(page::range_edit, "2, 4-5");
                click_sheet(plat::ID_PSNEXT);
            })
            .then("finish page", on_page(finish), [] { click(g_finish::save_settings_id); })
            .then("profile dialog", modal_named(QStringLiteral("plat_file_dialog")), [&] {
                choose_in_file_dialog(QString::fromStdString(out("saved")));
            })
            .then("back on the finish page", on_page(finish), [&] {
                profile_text = read_file(out("saved.qlp"));
                click_sheet(plat::ID_PSFINISH);
            });
        const int result = run_wizard(steps);
        std::filesystem::current_path(before);
        QCOMPARE(result, 1);

        // The profile's keys stand in their sorted order.
        const std::string expected_profile = "[Generic settings]\r\ndest=relative.txt\r\nlogfile=\r\npages=2, 4-5\r\n"
                                             "password=user-secret\r\nsrc=" +
                                             fixture("five_pages_rc4_128.pdf") + "\r\n\r\n";
        QCOMPARE(QString::fromStdString(profile_text), QString::fromStdString(expected_profile));
        QCOMPARE(opened->requests.size(), std::size_t(1));
        QCOMPARE(opened->requests.front(), QUrl::fromLocalFile(QString::fromStdString(out("relative.txt"))));
        QCOMPARE(page_breaks(read_file(out("relative.txt"))), 3);

        const stored_settings stored = load_settings();
        QVERIFY(stored.all_present);
        QVERIFY(stored.open_on_exit);
        QCOMPARE(stored.src, fixture("five_pages_rc4_128.pdf"));
        QCOMPARE(stored.dest, std::string("relative.txt"));
        QCOMPARE(stored.pages, std::string("2, 4-5"));
        QCOMPARE(stored.password, std::string("user-secret"));
    }

    // Runs a conversion and saves its settings under `name` by "Save Settings...": the one
    // box that comes must say `expected_box`, and the finish page stay.
    void save_settings_is_refused(const std::string& name, const std::string& expected_box)
    {
        std::vector<std::string> boxes;
        int page_after = 0;
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                fill(fixture("five_pages.pdf"), out("out.txt"));
                click_sheet(plat::ID_PSNEXT);
            })
            .then("finish page", on_page(finish), [] { click(g_finish::save_settings_id); })
            .then("profile dialog", modal_named(QStringLiteral("plat_file_dialog")),
                  [&] { choose_in_file_dialog(QString::fromStdString(name)); })
            .then("error box", [] { return box() != nullptr; }, [&] {
                boxes.push_back(box_text().toStdString());
                answer("OK");
            })
            .then("finish page again", on_page(finish), [&] {
                page_after = current_page();
                click_sheet(plat::ID_PSFINISH);
            });
        QCOMPARE(run_wizard(steps), 1);
        QCOMPARE(boxes, std::vector<std::string>{expected_box});
        QCOMPARE(page_after, finish);
    }

    // A profile name that is a folder gets the program's error box, with the name and the
    // system's reason, and the finish page stays.
    void profile_named_as_a_folder_is_told()
    {
        std::filesystem::create_directory(out("settings.qlp"));
        plat::set_last_error(EISDIR);
        save_settings_is_refused(out("settings"), std::string(msg::profile_not_saved) + "\n" + out("settings.qlp") +
                                                      "\n" + tk_exception_ex().what());
        QVERIFY(std::filesystem::is_empty(out("settings.qlp")));
    }

    // A profile name too long to be a file name, as the program holds names (also one that
    // fits only without the extension that the dialog adds), is told as the destination's
    // is, with the name, and nothing is written.
    void profile_name_too_long_is_told_data()
    {
        QTest::addColumn<int>("folder_length");
        QTest::addColumn<int>("length");
        QTest::newRow("a name of 300 characters") << 8 << 300;
        QTest::newRow("a path of 300 characters") << 200 << 300;
        QTest::newRow("fits only without the extension") << 8 << 258;
    }
    void profile_name_too_long_is_told()
    {
        QFETCH(int, folder_length);
        QFETCH(int, length);
        const std::string folder = out(std::string(static_cast<std::size_t>(folder_length), 'd')) + "/";
        std::filesystem::create_directory(folder);
        const std::string name = folder + std::string(static_cast<std::size_t>(length) - folder.size(), 'n');
        save_settings_is_refused(name, std::string(msg::profile_not_saved) + "\n" + name + ".qlp\n" +
                                           msg::path_too_long);
        QVERIFY(std::filesystem::is_empty(folder));
    }

    // Saving a profile onto a name where another user planted a link, in a folder like /tmp
    // (everyone may make files there, the sticky bit keeps each user's own): the link is not
    // followed, whatever the machine's link protection, the error box tells why, and the file
    // it leads to keeps its bytes.
    void profile_onto_another_users_link_is_refused()
    {
        if (!test_support::can_plant_links())
            QSKIP("only root can make a link that another user owns");
        test_support::make_folder(out("sticky"), 01777);
        write_file(out("target.qlp"), "keep");
        test_support::plant_link(out("target.qlp"), out("sticky/planted.qlp"));
        plat::set_last_error(EACCES);
        save_settings_is_refused(out("sticky/planted.qlp"), std::string(msg::profile_not_saved) + "\n" +
                                                                out("sticky/planted.qlp") + "\n" + tk_exception_ex().what());
        QCOMPARE(read_file(out("target.qlp")), std::string("keep"));
        QCOMPARE(std::filesystem::read_symlink(out("sticky/planted.qlp")).string(), out("target.qlp"));
        QCOMPARE(test_support::files_below(out("sticky")), std::set<std::string>{"planted.qlp"});
    }

    // Clearing "Open on exit" opens nothing at Finish and is stored.
    void finish_without_open_on_exit()
    {
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                fill(fixture("five_pages.pdf"), out("plain.txt"));
                click_sheet(plat::ID_PSNEXT);
            })
            .then("finish page", on_page(finish), [] {
                click(g_finish::open_on_exit_id);
                click_sheet(plat::ID_PSFINISH);
            });
        QCOMPARE(run_wizard(steps), 1);
        QVERIFY(opened->requests.empty());
        QVERIFY(!load_settings().open_on_exit);
    }
    // The program's sheet: its title and its icon.
    void sheet_has_the_title_and_icon()
    {
        QString title;
        bool has_icon = false;
        script steps;
        steps.then("welcome page", on_page(welcome), [&] {
            title = sheet()->windowTitle();
            has_icon = !sheet()->windowIcon().isNull();
        });
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);
        QCOMPARE(title, QStringLiteral("Lumetra 3.3"));
        QVERIFY(has_icon);
    }

    // Where no display can be reached the program says so on the standard error stream and
    // ends with -1, without a window and without touching the settings.
    void without_a_display_the_program_ends_with_minus_one()
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QLT_BINARY_DIR "/quillet/wizard/quillet"), {});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 255);
        QVERIFY(program.readAllStandardError().contains(msg::common_controls_init_failed));
        QVERIFY(load_settings().src.empty());
    }

    // A destination that is the source document itself, however it is named, is refused on
    // Next before the overwrite question, and the document stays as it was. "@" is the test's
    // folder; "proposed" leaves the name to the page, which proposes the source's own name
    // for a document called report.txt.
    void destination_that_is_the_source_is_refused_data()
    {
        QTest::addColumn<QString>("dest");
        QTest::addColumn<bool>("proposed");
        QTest::newRow("proposed by the page") << "@/old.txt" << true;
        QTest::newRow("typed as the source") << "@/report.txt" << false;
        QTest::newRow("typed without the extension") << "@/report" << false;
        QTest::newRow("another spelling") << "@/sub/../report.txt" << false;
        QTest::newRow("a hard link") << "@/hard.txt" << false;
        QTest::newRow("a symbolic link") << "@/soft.txt" << false;
    }
    void destination_that_is_the_source_is_refused()
    {
        QFETCH(QString, dest);
        QFETCH(bool, proposed);
        dest.replace(QLatin1Char('@'), QString::fromStdString(root->path().string()));
        const std::string src = out("report.txt");
        const std::string original = read_file(fixture("five_pages.pdf"));
        write_file(src, original);
        std::filesystem::create_directory(root->path() / "sub");
        std::filesystem::create_hard_link(src, out("hard.txt"));
        std::filesystem::create_symlink(src, out("soft.txt"));

        std::string proposal;
        std::vector<std::string> boxes;
        int page_after = 0;
        script steps;
        to_select_files(steps).then("select files", on_page(select_files), [&] {
            fill(src, dest.toStdString());
            if (proposed)
                focus(page::src_edit);
            else
                click_sheet(plat::ID_PSNEXT);
        });
        if (proposed)
            steps.then("source has the focus", [] { return QApplication::focusWidget() == item(page::src_edit); },
                       [] { focus(page::dest_edit); })
                .then("destination proposed", on_page(select_files), [&] {
                    proposal = text_of(page::dest_edit);
                    click_sheet(plat::ID_PSNEXT);
                });
        steps.then("a box", [] { return box() != nullptr; }, [&] {
                 boxes.push_back(box_text().toStdString());
                 // Were it the overwrite question, No keeps the document.
                 answer(boxes.back() == msg::dest_overwrite ? "&No" : "OK");
             })
            .then("back on the page", on_page(select_files), [&] { page_after = current_page(); });
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);

        if (proposed)
            QCOMPARE(proposal, src);
        QCOMPARE(boxes, std::vector<std::string>{msg::dest_is_source});
        QCOMPARE(page_after, select_files);
        QCOMPARE(read_file(src), original);
    }

    // A destination that exists and is no file, itself or at the end of a link, is refused on
    // Next: the run would block opening a FIFO that nobody reads, or write into a device. The
    // page stays, nothing is made in the folder, and the FIFO is not opened: a reader that
    // the test holds on it sees no writer come and go.
    void destination_that_is_no_file_is_refused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a FIFO") << "fifo";
        QTest::newRow("a link to a FIFO") << "link to fifo";
        QTest::newRow("a link to a device") << "device";
        QTest::newRow("a socket") << "socket";
    }
    void destination_that_is_no_file_is_refused()
    {
        QFETCH(QString, kind);
        const std::filesystem::path area = root->path() / "area";
        std::filesystem::create_directory(area);
        const std::string fifo = (area / "pipe").string();
        test_support::make_fifo(fifo);
        const descriptor reader(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK));
        QVERIFY(reader.fd >= 0);
        const std::string dest = (area / "dest.txt").string();
        const descriptor socket_end(kind == "socket" ? ::socket(AF_UNIX, SOCK_STREAM, 0) : -1);
        if (kind == "fifo")
            QCOMPARE(::rename(fifo.c_str(), dest.c_str()), 0);
        else if (kind == "link to fifo")
            std::filesystem::create_symlink(fifo, dest);
        else if (kind == "device")
            std::filesystem::create_symlink("/dev/null", dest);
        else {
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            QVERIFY(dest.size() < sizeof address.sun_path);
            std::memcpy(address.sun_path, dest.c_str(), dest.size());
            QCOMPARE(::bind(socket_end.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        }
        const std::set<std::string> files_before = test_support::files_below(area);

        refused_on_next([&] { fill(fixture("five_pages.pdf"), dest); }, msg::dest_not_a_file);
        QCOMPARE(test_support::files_below(area), files_before);
        pollfd watch {reader.fd, POLLIN, 0};
        QCOMPARE(::poll(&watch, 1, 0), 0);
    }

    // A destination without a name part, or one that names a folder once ".txt" is added, is
    // refused on Next like an empty one, before any question: nothing in the folders is
    // written or deleted. "@" is a folder holding the empty folder out, the folder full with a
    // file .txt in it, and the folder notes.txt.
    void destination_without_a_file_name_is_refused_data()
    {
        QTest::addColumn<QString>("dest");
        QTest::newRow("a folder with a trailing separator") << "@/out/";
        QTest::newRow("a folder holding a file .txt") << "@/full/";
        QTest::newRow("the extension alone") << "@/full/.txt";
        QTest::newRow("a folder once .txt is added") << "@/notes";
        QTest::newRow("a folder named with .txt") << "@/notes.txt";
    }
    void destination_without_a_file_name_is_refused()
    {
        QFETCH(QString, dest);
        const std::filesystem::path area = root->path() / "area";
        dest.replace(QLatin1Char('@'), QString::fromStdString(area.string()));
        std::filesystem::create_directories(area / "out");
        std::filesystem::create_directories(area / "full");
        std::filesystem::create_directories(area / "notes.txt");
        write_file((area / "full" / ".txt").string(), "keep me");
        const std::set<std::string> files_before = test_support::files_below(area);

        std::vector<std::string> boxes;
        int page_after = 0;
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                fill(fixture("five_pages.pdf"), dest.toStdString());
                click_sheet(plat::ID_PSNEXT);
            })
            .then("a box", [] { return box() != nullptr; }, [&] {
                boxes.push_back(box_text().toStdString());
                answer(boxes.back() == msg::dest_overwrite ? "&No" : "OK");
            })
            .then("back on the page", on_page(select_files), [&] { page_after = current_page(); });
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);
        QCOMPARE(boxes, std::vector<std::string>{msg::enter_dest});
        QCOMPARE(page_after, select_files);
        QCOMPARE(test_support::files_below(area), files_before);
        QCOMPARE(read_file((area / "full" / ".txt").string()), std::string("keep me"));
    }

    // Every refusal that can be known before a page is converted comes on Next, before the
    // overwrite question: a page tree the library can't read or that holds more pages than
    // it counts, a list without a page of the document. The page stays and the existing
    // destination keeps its bytes.
    void document_refused_on_next_keeps_the_destination_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("refusal");
        const QString unreadable = QString::fromLatin1(msg::pdf_unreadable);
        for (const char* broken : test_support::page_trees_refused_at_opening)
            QTest::newRow(broken) << QString::fromLatin1(broken) << QString() << unreadable;
        for (const char* broken : test_support::page_trees_beyond_their_count)
            QTest::newRow(broken) << QString::fromLatin1(broken) << QString() << unreadable;
        QTest::newRow("list beyond the document")
            << "five_pages.pdf" << "7-9" << QString::fromLatin1(msg::invalid_page_range);
    }
    void document_refused_on_next_keeps_the_destination()
    {
        QFETCH(QString, document);
        QFETCH(QString, range);
        QFETCH(QString, refusal);
        refused_on_next(
            [&] {
                fill(fixture(document.toStdString()), out("out.txt"));
                if (!range.isEmpty()) {
                    click(page::some_pages_radio);
                    put(page::range_edit, range.toStdString());
                }
            },
            refusal.toStdString());
    }

    // What shows only as the pages are converted (a page that the library counts but can't
    // make, a page beyond the count that only the table rebuilt during the run holds) fails
    // the run after Yes to the overwrite question: the finish page lists the error, and the
    // destination keeps its bytes.
    void document_refused_by_the_run_keeps_the_destination_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("range");
        for (const char* broken : test_support::page_trees_refused_by_a_whole_run)
            if (!test_support::holds_more_than_its_count(broken))
                QTest::newRow(broken) << QString::fromLatin1(broken) << QString();
        QTest::newRow("listed page the library can't make") << "tree_page_not_made.pdf" << "2,5";
        QTest::newRow("page 3 of the first table") << "rebuilt_table_page_3_broken_first.pdf" << "";
        QTest::newRow("beyond the count on the rebuilt table") << "rebuilt_table_beyond_count.pdf" << "";
    }
    void document_refused_by_the_run_keeps_the_destination()
    {
        QFETCH(QString, document);
        QFETCH(QString, range);
        const std::string dest = out("out.txt");
        write_file(dest, "keep me");
        failed_run seen;
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                fill(fixture(document.toStdString()), dest);
                if (!range.isEmpty()) {
                    click(page::some_pages_radio);
                    put(page::range_edit, range.toStdString());
                }
                click_sheet(plat::ID_PSNEXT);
            })
            .then("overwrite question", box_says(msg::dest_overwrite), [] { answer("&Yes"); });
        to_the_finish_of_a_failed_run(steps, seen);
        QCOMPARE(run_wizard(steps), 1);
        expect_unreadable(seen);
        QCOMPARE(read_file(dest), std::string("keep me"));
    }

    // Next tells a wrong password of any length, typed or loaded from the settings, as
    // "Incorrect password"; a document whose encryption the library can't undo is
    // unreadable with its password too. The page stays and the destination keeps its bytes.
    void next_judges_any_password_and_the_decryption_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("expected_box");
        for (const char* file : {"five_pages_aes_256.pdf", "five_pages_empty_user.pdf"})
            for (int length : {128, 1000, 100000})
                for (bool stored : {false, true})
                    QTest::newRow(QStringLiteral("%1, %2 bytes %3")
                                      .arg(QLatin1String(file))
                                      .arg(length)
                                      .arg(stored ? QLatin1String("stored") : QLatin1String("typed"))
                                      .toLatin1())
                        << QString::fromLatin1(file) << QByteArray(length, 'a') << stored
                        << QString::fromLatin1(msg::incorrect_password);
        QTest::newRow("encrypted with 150 bytes")
            << "five_pages_long_password.pdf" << QByteArray::fromStdString(fixture_text::long_password()) << false
            << QString::fromLatin1(msg::incorrect_password);
        for (const char* file : {"encrypt_version_9.pdf", "encrypt_revision_9.pdf"})
            QTest::newRow(file) << QString::fromLatin1(file) << QByteArray("user-secret") << false
                                << QString::fromLatin1(msg::pdf_unreadable);
    }
    void next_judges_any_password_and_the_decryption()
    {
        QFETCH(QString, document);
        QFETCH(QByteArray, password);
        QFETCH(bool, stored);
        QFETCH(QString, expected_box);
        const std::string src = fixture(document.toStdString());
        if (stored)
            store_settings({true, false, src, out("out.txt"), "", password.toStdString()});
        refused_on_next(
            [&] {
                if (stored)
                    return;
                fill(src, out("out.txt"));
                click(page::use_password_box);
                put(page::password_edit, password.toStdString());
            },
            expected_box.toStdString());
    }
};

QTEST_MAIN(wizard_program_test)
#include "wizard_program_test.moc"
