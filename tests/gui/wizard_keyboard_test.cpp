// The wizard from the keyboard alone: Tab moves through a window's controls and then the
// sheet's buttons in their order, Enter and the space bar press the push button that has the
// focus, and Enter on any other control presses the window's default button.
// Qt's headers come first: the PDF library's headers define macros that clash with its names.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include "g_error_dialogs.h"
#include "g_finish_page.h"
#include "g_wizard_shell.h"
#include "gui_test_support.h"
#include "message_table.h"
#include "plat_gui_constants.h"
#include "plat_gui_start.h"
#include "select_files_page.h"
#include "test_support.h"
#include "wizard_driver.h"
#include "wizard_program_support.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

using namespace wizard_driver;
using namespace wizard_test;
using gui_test::focused_control;
using gui_test::press_key;
using gui_test::press_keys;
using gui_test::when_modal;
using test_support::read_file;
using test_support::write_file;

namespace {

using page = sel_file_page;

// The id of the control that has the focus; 0 when none has.
int focused_id()
{
    QWidget* control = focused_control();
    return control != nullptr ? plat::get_dlg_ctrl_id(control) : 0;
}

// The id of the push button of the window on top that is drawn as the default one.
int default_button_id()
{
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr)
        return 0;
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->isDefault() && button->isVisible())
            return plat::get_dlg_ctrl_id(button);
    return 0;
}

// Keeps the user-interface thread busy, processing no events, for longer than the script
// waits between two polls: its next poll is due when events are processed again.
void hold_past_the_next_poll() { QThread::msleep(3 * script::poll_interval_ms); }

// Presses the keys in the modal window that the next call opens, and closes it with -2 when
// they left it open.
void keys_in_next_window(const QString& keys)
{
    when_modal([keys](QWidget* window) {
        press_keys(keys);
        if (window->isVisible())
            qobject_cast<QDialog*>(window)->done(-2);
    });
}

} // namespace

class wizard_keyboard_test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test_support::temp_dir> root;

private slots:
    void initTestCase()
    {
        // No keeper program: "Copy to clipboard" stays on the toolkit's own clipboard.
        qputenv("DISPLAY", "");
        qputenv("WAYLAND_DISPLAY", "");
        plat::install_gui_services();
    }
    void init()
    {
        root = std::make_unique<test_support::temp_dir>();
        use_home(*root);
        // Finish opens nothing here.
        store_settings({true, false, "", "", "", ""});
    }
    void cleanup() { root.reset(); }

    // Dialog 114 starts on "Send bug", 115 on "Continue", their default buttons; the check
    // box of 115 is no push button, so Enter there presses Continue.
    void error_dialogs_press_the_focused_button_data()
    {
        QTest::addColumn<int>("dialog");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("dont_show");
        QTest::newRow("114: Enter presses Send bug") << 114 << "Enter" << 1112 << false;
        QTest::newRow("114: Tab to OK, Enter") << 114 << "Tab Enter" << 1 << false;
        QTest::newRow("114: Tab to OK, space") << 114 << "Tab Space" << 1 << false;
        QTest::newRow("114: Tab to Copy, Enter") << 114 << "Tab Tab Enter" << 1108 << false;
        QTest::newRow("114: Tab round to Send bug, Enter") << 114 << "Tab Tab Tab Enter" << 1112 << false;
        QTest::newRow("115: Enter presses Continue") << 115 << "Enter" << 2 << false;
        QTest::newRow("115: Tab to Abort, Enter") << 115 << "Tab Enter" << 1 << false;
        QTest::newRow("115: Tab to Abort, space") << 115 << "Tab Space" << 1 << false;
        QTest::newRow("115: Enter on the check box") << 115 << "Tab Tab Enter" << 2 << false;
        QTest::newRow("115: space ticks the box, Enter") << 115 << "Tab Tab Space Enter" << 2 << true;
    }
    void error_dialogs_press_the_focused_button()
    {
        QFETCH(int, dialog);
        QFETCH(QString, keys);
        QFETCH(int, result);
        QFETCH(bool, dont_show);
        // A mail transfer agent that keeps what it is handed.
        const std::string agent = root->file("sendmail");
        test_support::write_file(agent, "#!/bin/sh\ncat > \"$(dirname \"$0\")/mail.txt\"\n");
        std::filesystem::permissions(agent, std::filesystem::perms::owner_all);
        const test_support::scoped_env path("PATH", root->path().string() + ":" + std::getenv("PATH"));

        int ended = 0;
        bool box_ticked = false;
        keys_in_next_window(keys);
        if (dialog == 114) {
            dlg_error_ex<114> shown("Internal error: \ncode=41");
            ended = shown.do_modal(nullptr);
        } else {
            dlg_error_continue<115> shown("Disk full");
            ended = shown.do_modal(nullptr);
            box_ticked = shown.dont_show;
        }
        QCOMPARE(ended, result);
        QCOMPARE(box_ticked, dont_show);
        QCOMPARE(std::filesystem::exists(root->file("mail.txt")), result == 1112);
    }

    // The exit question has No as its default button.
    void the_question_box_presses_the_focused_button_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("yes");
        QTest::newRow("Enter answers No") << "Enter" << false;
        QTest::newRow("space answers No") << "Space" << false;
        QTest::newRow("Tab to Yes, Enter") << "Tab Enter" << true;
        QTest::newRow("Tab to Yes, space") << "Tab Space" << true;
        QTest::newRow("Tab round to No, Enter") << "Tab Tab Enter" << false;
        QTest::newRow("Escape answers No") << "Escape" << false;
    }
    void the_question_box_presses_the_focused_button()
    {
        QFETCH(QString, keys);
        QFETCH(bool, yes);
        keys_in_next_window(keys);
        QCOMPARE(wizard_shell::question(msg::exit_question, plat::MB_DEFBUTTON2), yes);
    }

    // The welcome page has no control that takes the focus: the sheet starts on Next, Tab
    // goes on to Cancel, and Enter there asks before the wizard is left. Back from the
    // question the sheet is the active window again: the button Tab reaches is the default.
    void the_welcome_page_answers_the_keyboard()
    {
        int first_focus = 0, after_tab = 0, default_after_tab = 0, after_no = 0;
        std::pair<int, int> tabbed_after_no;
        bool asked = false;
        script steps;
        steps.then("welcome", on_page(welcome), [&] {
                 first_focus = focused_id();
                 press_key(Qt::Key_Tab);
                 after_tab = focused_id();
                 default_after_tab = default_button_id();
                 press_key(Qt::Key_Return);
             })
            .then("exit question", box_says(msg::exit_question), [&] {
                asked = true;
                press_key(Qt::Key_Return);
            })
            .then("still welcome", on_page(welcome), [&] {
                after_no = focused_id();
                press_keys("Backtab Tab");
                tabbed_after_no = {focused_id(), default_button_id()};
                press_key(Qt::Key_Backtab);
                press_key(Qt::Key_Return);
            })
            .then("select files", on_page(select_files), [] {});
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);
        QCOMPARE(first_focus, plat::ID_PSNEXT);
        QCOMPARE(after_tab, plat::IDCANCEL);
        QCOMPARE(default_after_tab, plat::IDCANCEL);
        QVERIFY(asked);
        QCOMPARE(after_no, plat::IDCANCEL);
        QCOMPARE(tabbed_after_no, std::make_pair(plat::IDCANCEL, plat::IDCANCEL));
    }

    // Tab goes through the page's controls in the template's order (the disabled edits and
    // the radio button that is not checked left out), then Back, Next, Cancel, Help, and
    // round again. A push button that has the focus is the default one meanwhile; elsewhere
    // Next is.
    void tab_goes_through_the_page_then_the_sheet_buttons()
    {
        std::vector<std::pair<int, int>> seen;
        script steps;
        to_select_files(steps).then("select files", on_page(select_files), [&] {
            focus(page::src_edit);
            seen.emplace_back(focused_id(), default_button_id());
            for (int i = 0; i < 10; ++i) {
                press_key(Qt::Key_Tab);
                seen.emplace_back(focused_id(), default_button_id());
            }
        });
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);
        using plat::ID_PSBACK, plat::ID_PSNEXT, plat::IDCANCEL, plat::IDHELP;
        const std::vector<std::pair<int, int>> expected{
            {page::src_edit, ID_PSNEXT},   {page::browse_src_button, page::browse_src_button},
            {page::use_password_box, ID_PSNEXT}, {page::dest_edit, ID_PSNEXT},
            {page::browse_dest_button, page::browse_dest_button}, {page::all_pages_radio, ID_PSNEXT},
            {ID_PSBACK, ID_PSBACK},
            {ID_PSNEXT, ID_PSNEXT},        {IDCANCEL, IDCANCEL},
            {IDHELP, IDHELP},              {page::src_edit, ID_PSNEXT}};
        QCOMPARE(seen, expected);
    }

    // A stored source and destination converted from the keyboard alone: Alt+T goes to the
    // destination, Tab on past its "Browse..." to the checked "All", Down checks "Pages:",
    // which enables the range edit while the focus stays on the button, and Tab reaches the
    // edit; Enter there presses Next, Enter on the finish page Finish.
    void page_two_alone_is_converted_by_keyboard()
    {
        const std::string src = root->file("doc.pdf");
        const std::string dest = root->file("doc.txt");
        test_support::write_file(src, long_document(3));
        store_settings({true, false, src, dest, "", ""});
        std::vector<int> seen;
        bool range_enabled = false;
        script steps;
        steps.then("welcome", on_page(welcome), [] { press_key(Qt::Key_Return); })
            .then("select files", on_page(select_files), [&] {
                press_key(Qt::Key_T, Qt::AltModifier);
                seen.push_back(focused_id());
                for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Tab}) {
                    press_key(key);
                    seen.push_back(focused_id());
                }
                range_enabled = enabled(page::range_edit);
                press_key(Qt::Key_2);
                press_key(Qt::Key_Return);
            })
            .then("finish", on_page(finish), [] { press_key(Qt::Key_Return); });
        QCOMPARE(run_wizard(steps), 1);
        QCOMPARE(seen, (std::vector<int>{page::dest_edit, page::browse_dest_button, page::all_pages_radio,
                                         page::some_pages_radio, page::range_edit}));
        QVERIFY(range_enabled);
        const std::string text = test_support::read_file(dest);
        QCOMPARE(page_breaks(text), 1);
        QVERIFY(text.find("Page 2 of 3") != std::string::npos);
        QCOMPARE(load_settings().pages, std::string("2"));
    }

    // The script's next step waits until the act before it has returned, also when that act
    // holds the loop past the script's next poll between two keys, as a busy machine does:
    // every key's delivery processes the events that are due.
    void a_step_waits_until_the_act_before_it_has_returned()
    {
        std::vector<int> seen;
        script steps;
        to_select_files(steps).then("select files", on_page(select_files), [&] {
            focus(page::src_edit);
            for (int i = 0; i < 2; ++i) {
                hold_past_the_next_poll();
                press_key(Qt::Key_Tab);
                seen.push_back(focused_id());
            }
        });
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);
        QCOMPARE(seen, (std::vector<int>{page::browse_src_button, page::use_password_box}));
    }

    // Enter in the PDF field, the first thing most users do, converts into the proposed text
    // file: Next makes the proposal that the field's losing the focus makes before it checks
    // the names. Next by the button while the field has the focus does the same; a text file
    // typed after leaving the field is kept. "~" is the test's folder.
    void enter_in_the_pdf_field_converts_into_the_proposed_file_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("dest_before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("converted");
        QTest::newRow("Enter, no text file yet") << "Enter" << "" << "" << "~/home/doc.txt";
        QTest::newRow("Enter, a text file in another folder") << "Enter" << "~/out/old.txt" << "" << "~/out/doc.txt";
        QTest::newRow("the Next button") << "button" << "" << "" << "~/home/doc.txt";
        QTest::newRow("a text file typed after the PDF field") << "Enter" << "" << "~/out/mine.txt" << "~/out/mine.txt";
    }
    void enter_in_the_pdf_field_converts_into_the_proposed_file()
    {
        QFETCH(QString, how);
        QFETCH(QString, dest_before);
        QFETCH(QString, typed);
        QFETCH(QString, converted);
        const auto in_root = [this](QString name) {
            return name.replace(QLatin1Char('~'), QString::fromStdString(root->path().string())).toStdString();
        };
        std::filesystem::create_directories(root->file("docs"));
        std::filesystem::create_directories(root->file("out"));
        const std::string src = root->file("docs/doc.pdf");
        write_file(src, read_file(fixture("five_pages.pdf")));
        std::vector<QString> boxes;
        script steps;
        steps.watching([&boxes] {
            if (!box_text().isEmpty() && (boxes.empty() || boxes.back() != box_text()))
                boxes.push_back(box_text());
        });
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                put(page::dest_edit, in_root(dest_before));
                focus(page::src_edit);
                put(page::src_edit, src);
                if (!typed.isEmpty()) {
                    press_key(Qt::Key_Tab);
                    focus(page::dest_edit);
                    put(page::dest_edit, in_root(typed));
                }
                if (how == QLatin1String("Enter")) {
                    press_key(Qt::Key_Return);
                    return;
                }
                // A click on the button makes the sheet the active window first.
                sheet()->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(sheet()));
                click_sheet(plat::ID_PSNEXT);
            })
            .then("finish", on_page(finish), [] { click_sheet(plat::ID_PSFINISH); });
        QCOMPARE(run_wizard(steps), 1);
        QCOMPARE(boxes, std::vector<QString>{});
        QCOMPARE(page_breaks(read_file(in_root(converted))), 5);
    }

    // Enter in a PDF field whose name is too long for a destination to be proposed tells so
    // once, and the page stays.
    void a_proposal_that_fails_on_enter_is_told_once()
    {
        std::vector<QString> boxes;
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                focus(page::src_edit);
                put(page::src_edit, "/" + std::string(300, 's') + ".pdf");
                press_key(Qt::Key_Return);
            })
            .then("error box", [] { return box() != nullptr; }, [&] {
                boxes.push_back(box_text());
                answer("OK");
            })
            .then("page again", on_page(select_files), [&] {
                if (box() != nullptr)
                    boxes.push_back(box_text());
            });
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);
        QCOMPARE(boxes, std::vector<QString>{QString::fromLatin1(msg::path_too_long)});
    }

    // Enter in an edit presses Next, whose checks then ask for the source; Enter or the space
    // bar on "Browse..." opens its file dialog.
    void the_select_files_page_answers_the_keyboard_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("Enter") << "Enter";
        QTest::newRow("space") << "Space";
    }
    void the_select_files_page_answers_the_keyboard()
    {
        QFETCH(QString, key);
        bool asked_for_source = false, dialog_opened = false;
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [] {
                focus(page::dest_edit);
                press_key(Qt::Key_Return);
            })
            .then("source box", box_says(msg::enter_source), [&] {
                asked_for_source = true;
                answer("OK");
            })
            .then("back on the page", on_page(select_files), [key] {
                focus(page::browse_src_button);
                press_keys(key);
            })
            .then("file dialog", modal_named(QStringLiteral("plat_file_dialog")), [&] {
                dialog_opened = true;
                choose_in_file_dialog(QString());
            })
            .then("page again", on_page(select_files), [] {});
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);
        QVERIFY(asked_for_source);
        QVERIFY(dialog_opened);
    }

    // On the finish page Enter or the space bar on "Save Settings..." opens the profile dialog
    // and the wizard stays; Enter on "Open on exit" presses Finish.
    void the_finish_page_answers_the_keyboard_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("Enter") << "Enter";
        QTest::newRow("space") << "Space";
    }
    void the_finish_page_answers_the_keyboard()
    {
        QFETCH(QString, key);
        bool reached_save = false, dialog_opened = false, stayed = false, reached_box = false;
        auto tab_to = [](int id) {
            for (int i = 0; i < 8 && focused_id() != id; ++i)
                press_key(Qt::Key_Tab);
            return focused_id() == id;
        };
        script steps;
        to_select_files(steps)
            .then("select files", on_page(select_files), [&] {
                fill(fixture("five_pages.pdf"), root->file("out.txt"));
                click_sheet(plat::ID_PSNEXT);
            })
            .then("finish page", on_page(finish), [&] {
                reached_save = tab_to(g_finish::save_settings_id);
                press_keys(key);
            })
            .then("profile dialog", modal_named(QStringLiteral("plat_file_dialog")), [&] {
                dialog_opened = true;
                choose_in_file_dialog(QString());
            })
            .then("finish page again", on_page(finish), [&] {
                stayed = true;
                reached_box = tab_to(g_finish::open_on_exit_id);
                press_key(Qt::Key_Return);
            });
        QCOMPARE(run_wizard(steps), 1);
        QVERIFY(reached_save);
        QVERIFY(dialog_opened);
        QVERIFY(stayed);
        QVERIFY(reached_box);
        QVERIFY(!load_settings().open_on_exit);
    }

    // After a failed run the error list can take the focus from the keyboard, and then
    // shows it: a keyboard user can tell where the focus is.
    void the_error_list_shows_the_focus()
    {
        const std::string src = root->file("doc.pdf");
        const std::string dest = root->file("doc.txt");
        write_file(src, read_file(fixture("five_pages.pdf")));
        write_file(dest, "old");
        // A steady caret: what the list shows does not depend on when it is looked at.
        const int flash_time = QApplication::cursorFlashTime();
        QApplication::setCursorFlashTime(0);
        QImage unfocused, focused;
        bool reached = false;
        script steps;
        to_failing_run(steps, src, dest)
            .then("the run's error box", [] { return !box_text().isEmpty(); }, [] { answer("OK"); })
            .then("finish page", on_page(finish), [&] {
                QWidget* errors = item(g_finish::errors_id);
                unfocused = errors->grab().toImage();
                for (int i = 0; i < 8 && focused_id() != g_finish::errors_id; ++i)
                    press_key(Qt::Key_Tab);
                reached = focused_id() == g_finish::errors_id;
                focused = errors->grab().toImage();
                click_sheet(plat::ID_PSFINISH);
            });
        const int result = run_wizard(steps);
        QApplication::setCursorFlashTime(flash_time);
        QCOMPARE(result, 1);
        QVERIFY(reached);
        QVERIFY2(focused != unfocused, "the error list looks the same with and without the focus");
    }
};

QTEST_MAIN(wizard_keyboard_test)
#include "wizard_keyboard_test.moc"
