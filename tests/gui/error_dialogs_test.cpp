// The internal-error dialog and the continue-or-abort dialog: their buttons, their ways out,
// their captions, the check box that the program toggles, copy and mail.
#include "g_error_dialogs.h"
#include "g_wizard_shell.h"
#include "gui_test_support.h"
#include "plat_gui_start.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using gui_test::press_button;
using gui_test::when_modal;

namespace {

// Runs the dialog; `act` is what the user does in it.
template <class Dialog>
int run(Dialog& dialog, std::function<void(QWidget*)> act)
{
    when_modal(std::move(act));
    return dialog.do_modal(nullptr);
}

QString shown_text(QWidget* window)
{
    auto* label = qobject_cast<QLabel*>(plat::get_dlg_item(window, error_dialog_ids::text));
    return label != nullptr ? label->text() : QString();
}

} // namespace

class error_dialogs_test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // No keeper program: the clipboard is the toolkit's own, which the test can read.
        qputenv("DISPLAY", "");
        qputenv("WAYLAND_DISPLAY", "");
        plat::install_gui_services();
    }

    void the_internal_error_dialog_ends_by_its_buttons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("Send bug") << "Send bug" << 1112;
        QTest::newRow("OK") << "OK" << 1;
        QTest::newRow("Copy to clipboard") << "Copy to clipboard" << 1108;
    }
    void the_internal_error_dialog_ends_by_its_buttons()
    {
        QFETCH(QString, button);
        QFETCH(int, result);
        test_support::temp_dir mail_dir;
        // A mail transfer agent that keeps what it is handed.
        const std::string agent = mail_dir.file("sendmail");
        test_support::write_file(agent, "#!/bin/sh\ncat > \"$(dirname \"$0\")/mail.txt\"\n");
        std::filesystem::permissions(agent, std::filesystem::perms::owner_all);
        QGuiApplication::clipboard()->clear();

        dlg_error_ex<114> dialog("Internal error: \ncode=41");
        QString caption, text;
        int ended = 0;
        {
            const test_support::scoped_env path("PATH", mail_dir.path().string() + ":" + std::getenv("PATH"));
            ended = run(dialog, [&](QWidget* window) {
                caption = window->windowTitle();
                text = shown_text(window);
                press_button(window, button);
            });
        }
        QCOMPARE(ended, result);
        QCOMPARE(caption, QStringLiteral("Error"));
        QCOMPARE(text, QStringLiteral("Internal error: \ncode=41"));
        const bool mailed = std::filesystem::exists(mail_dir.file("mail.txt"));
        QCOMPARE(mailed, result == 1112);
        if (mailed) {
            const std::string mail = test_support::read_file(mail_dir.file("mail.txt"));
            QVERIFY(mail.find("To: support@corvane.example\n") != std::string::npos);
            // Before the wizard's window is up the product is empty.
            QVERIFY(mail.find("Subject: Bug report on \n") != std::string::npos);
            QVERIFY(mail.find("\n\nInternal error: \ncode=41") != std::string::npos);
        }
        QCOMPARE(QGuiApplication::clipboard()->text(), result == 1108 ? text : QString());
    }

    void the_internal_error_dialog_ignores_escape_and_the_close_box()
    {
        dlg_error_ex<114> dialog("broken");
        bool open_after_escape = false, open_after_close = false;
        const int ended = run(dialog, [&](QWidget* window) {
            QTest::keyClick(window, Qt::Key_Escape);
            open_after_escape = window->isVisible();
            window->close();
            open_after_close = window->isVisible();
            press_button(window, QStringLiteral("OK"));
        });
        QVERIFY(open_after_escape);
        QVERIFY(open_after_close);
        QCOMPARE(ended, 1);
    }

    void the_caption_names_the_wizard_once_its_window_is_up()
    {
        wizard_shell shell("Lumetra 3.3", 0, 0, 0);
        shell.initialized = true;
        dlg_error_continue<115> dialog("x");
        QString caption;
        run(dialog, [&](QWidget* window) {
            caption = window->windowTitle();
            press_button(window, QStringLiteral("Continue"));
        });
        QCOMPARE(caption, QStringLiteral("Lumetra 3.3 Error"));
    }

    void the_continue_dialog_ends_by_button_key_and_close_box_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("result");
        QTest::newRow("Continue") << "Continue" << 2;
        QTest::newRow("Abort") << "Abort" << 1;
        QTest::newRow("Escape") << "escape" << 2;
        QTest::newRow("Enter") << "enter" << 2;
        QTest::newRow("close box") << "close" << 2;
    }
    void the_continue_dialog_ends_by_button_key_and_close_box()
    {
        QFETCH(QString, action);
        QFETCH(int, result);
        dlg_error_continue<115> dialog("Disk full");
        QString text;
        const int ended = run(dialog, [&](QWidget* window) {
            text = shown_text(window);
            if (action == QLatin1String("escape"))
                QTest::keyClick(window, Qt::Key_Escape);
            else if (action == QLatin1String("enter"))
                QTest::keyClick(window, Qt::Key_Return);
            else if (action == QLatin1String("close"))
                window->close();
            else
                press_button(window, action);
        });
        QCOMPARE(ended, result);
        QCOMPARE(text, QStringLiteral("Disk full"));
        QVERIFY(!dialog.dont_show);
    }

    void the_check_box_follows_the_clicks_data()
    {
        QTest::addColumn<int>("clicks");
        QTest::newRow("once") << 1;
        QTest::newRow("twice") << 2;
    }
    void the_check_box_follows_the_clicks()
    {
        QFETCH(int, clicks);
        dlg_error_continue<115> dialog("x");
        bool box_checked = false;
        run(dialog, [&](QWidget* window) {
            auto* box = qobject_cast<QAbstractButton*>(plat::get_dlg_item(window, error_dialog_ids::dont_show));
            for (int i = 0; i < clicks; ++i)
                box->click();
            box_checked = box->isChecked();
            press_button(window, QStringLiteral("Continue"));
        });
        QCOMPARE(box_checked, clicks == 1);
        QCOMPARE(dialog.dont_show, clicks == 1);
    }
};

QTEST_MAIN(error_dialogs_test)
#include "error_dialogs_test.moc"
