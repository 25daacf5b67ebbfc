// The wizard's error handler: its levels with the quiet flag, the 20-entry error list, the
// continue-or-abort dialog's answers, the internal error ending the process with -1 from
// either thread, and the run's handler of standard exceptions.
#include "front_end.h"
#include "g_welcome_page.h"
#include "g_wizard_shell.h"
#include "gui_test_support.h"
#include "plat_gui_constants.h"
#include "plat_gui_start.h"
#include "test_support.h"
#include "tk_error_handler.h"
#include "wizard_event_failures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <thread>

using gui_test::press_button;
using gui_test::when_modal;

namespace {

const std::string product_title = "Lumetra 3.3";

// What the user saw in the next window and did there.
struct seen {
    int windows = 0;
    QString caption;
    QString text;
};

// Answers the next window: a box with OK, a dialog with the given button (after ticking the
// check box when asked).
void answer(seen& what, const QString& button, bool tick = false)
{
    when_modal([&what, button, tick](QWidget* window) {
        ++what.windows;
        what.caption = window->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(window)) {
            what.text = box->text();
            box->button(QMessageBox::Ok)->click();
            return;
        }
        if (auto* label = qobject_cast<QLabel*>(plat::get_dlg_item(window, 1320)))
            what.text = label->text();
        if (tick)
            qobject_cast<QAbstractButton*>(plat::get_dlg_item(window, 1222))->click();
        press_button(window, button);
    });
}

// Watches for a window while `call` runs and a little after: one that comes is counted and
// closed. Returns once the watch has ended, so that it meets no later test's window.
void no_window(seen& what, const std::function<void()>& call)
{
    const QPointer<QTimer> watch = when_modal([&what](QWidget* window) {
        ++what.windows;
        window->close();
        if (auto* box = qobject_cast<QMessageBox*>(window))
            box->button(QMessageBox::Ok)->click();
        else
            press_button(window, QStringLiteral("Continue"));
    }, 300, false);
    call();
    while (watch != nullptr && watch->isActive())
        QTest::qWait(10);
}

// The shell of a running wizard: its window is up.
struct running_shell : wizard_shell {
    running_shell() : wizard_shell(product_title, 0, 0, 0) { initialized = true; }
};

bool throws_final(const std::function<void()>& call)
{
    try {
        call();
    } catch (const tk_final_exception&) {
        return true;
    }
    return false;
}

void click_next(const wizard_shell& shell)
{
    qobject_cast<QAbstractButton*>(plat::get_dlg_item(shell.window(), plat::ID_PSNEXT))->click();
}

// A page whose Next fails with the error it is given.
class failing_page : public welcome_page {
public:
    explicit failing_page(tk_exception failure_) : failure(std::move(failure_)) {}
    int on_next() override { throw failure; }
    tk_exception failure;
};

// The child process of the internal-error cases: reports a level-2 error on the main thread,
// on a worker, or raised by a page's handler inside the sheet, and presses `button` in the
// dialog.
int internal_error_child(int argc, char** argv, const QString& button, const QByteArray& where)
{
    QApplication app(argc, argv);
    // The dialog closing must not end the event loop before the worker ends the process.
    QApplication::setQuitOnLastWindowClosed(false);
    plat::install_gui_services();
    error_handler handler;
    wizard_shell shell(product_title, 0, 0, 0);
    const tk_mail_assertion failure("qlt_conv", 97);
    if (where == "event") {
        failing_page page(failure);
        shell.add_page(page.page_record());
        install_wizard_event_failure_report();
        QTimer::singleShot(50, [&] {
            when_modal([button](QWidget* window) { press_button(window, button); });
            click_next(shell);
        });
        shell.do_modal();
        return 3;
    }
    when_modal([button](QWidget* window) { press_button(window, button); });
    if (where == "worker") {
        std::thread worker([&] { handler.handle(failure, true); });
        worker.detach();
        app.exec();
    } else {
        handler.handle(failure, true);
    }
    return 3; // not reached: the handler ends the process
}

} // namespace

class wizard_error_handler_test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("DISPLAY", "");
        plat::install_gui_services();
    }

    void an_error_is_shown_unless_quiet_and_always_kept_data()
    {
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("top_level");
        QTest::newRow("shown, top level") << false << true;
        QTest::newRow("shown, nested") << false << false;
        QTest::newRow("quiet, top level") << true << true;
        QTest::newRow("quiet, nested") << true << false;
    }
    void an_error_is_shown_unless_quiet_and_always_kept()
    {
        QFETCH(bool, quiet);
        QFETCH(bool, top_level);
        error_handler handler;
        running_shell shell;
        handler.quiet = quiet;
        seen what;
        bool threw = false;
        const auto report = [&] { threw = throws_final([&] { handler.handle(tk_exception("two\nwords", 1), top_level); }); };
        if (quiet) {
            no_window(what, report);
        } else {
            answer(what, QString());
            report();
        }
        QCOMPARE(threw, !top_level);
        QCOMPARE(what.windows, quiet ? 0 : 1);
        if (!quiet) {
            QCOMPARE(what.caption, QString::fromStdString(product_title + " Error"));
            QCOMPARE(what.text, QStringLiteral("two words"));
        }
        QCOMPARE(shell.error_list(), std::vector<std::string>{"two words"});
    }

    void the_continue_dialog_decides_how_a_level_0_error_ends_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("tick");
        QTest::addColumn<bool>("top_level");
        QTest::addColumn<bool>("throws");
        QTest::addColumn<bool>("quiet_after");
        QTest::newRow("Continue") << 0 << "Continue" << false << false << false << false;
        QTest::newRow("Continue, ticked") << 0 << "Continue" << true << false << false << true;
        QTest::newRow("Abort nested, ticked: not taken over") << 0 << "Abort" << true << false << true << false;
        QTest::newRow("Abort at top level, ticked: taken over") << 0 << "Abort" << true << true << false << true;
        QTest::newRow("level 5 as level 0") << 5 << "Abort" << false << false << true << false;
    }
    void the_continue_dialog_decides_how_a_level_0_error_ends()
    {
        QFETCH(int, level);
        QFETCH(QString, button);
        QFETCH(bool, tick);
        QFETCH(bool, top_level);
        QFETCH(bool, throws);
        QFETCH(bool, quiet_after);
        error_handler handler;
        running_shell shell;
        seen what;
        answer(what, button, tick);
        QCOMPARE(throws_final([&] { handler.handle(tk_exception("Disk\nfull", level), top_level); }), throws);
        QCOMPARE(what.text, QStringLiteral("Disk full"));
        QCOMPARE(what.caption, QString::fromStdString(product_title + " Error"));
        QCOMPARE(handler.quiet, quiet_after);
        QCOMPARE(shell.error_count(), std::size_t{1});
    }

    void once_quiet_a_level_0_error_shows_and_throws_nothing()
    {
        error_handler handler;
        running_shell shell;
        handler.quiet = true;
        seen what;
        bool threw = true;
        no_window(what, [&] { threw = throws_final([&] { handler.handle(tk_exception("again", 0), false); }); });
        QVERIFY(!threw);
        QCOMPARE(what.windows, 0);
        QCOMPARE(shell.error_count(), std::size_t{1});
    }

    void the_list_keeps_the_first_20_reports()
    {
        error_handler handler;
        running_shell shell;
        handler.quiet = true;
        for (int i = 1; i <= 25; ++i)
            handler.handle(tk_exception("report " + std::to_string(i), i % 2), true);
        const std::vector<std::string> kept = shell.error_list();
        QCOMPARE(kept.size(), std::size_t{20});
        QCOMPARE(kept.back(), std::string("report 20"));
    }

    void before_the_window_is_up_nothing_is_kept_and_the_box_is_bare()
    {
        error_handler handler;
        wizard_shell shell(product_title, 0, 0, 0);
        seen what;
        answer(what, QString());
        handler.handle(tk_exception("early", 1), true);
        QCOMPARE(what.caption, QStringLiteral("Error"));
        QCOMPARE(shell.error_count(), std::size_t{0});
    }

    void a_standard_failure_of_the_run_is_shown_and_kept()
    {
        running_shell shell;
        seen what;
        answer(what, QString());
        report_run_failure(std::runtime_error("out of\nmemory"));
        QCOMPARE(what.text, QStringLiteral("out of\nmemory"));
        QCOMPARE(shell.error_list(), std::vector<std::string>{"out of memory"});
    }

    void the_run_guard_starts_the_progress_timer_and_marks_the_end()
    {
        wizard_shell shell(product_title, 0, 0, 0);
        welcome_page welcome;
        shell.add_page(welcome.page_record());
        std::atomic<bool> finished{false};
        bool running_during = false;
        bool in_time = false;
        QTimer::singleShot(20, [&] {
            std::atomic<bool> done{false};
            std::thread worker([&] {
                {
                    init_conversion guard(&finished, 1);
                    running_during = shell.timer_running;
                }
                done = true;
            });
            in_time = QTest::qWaitFor([&] { return done.load(); },
                                      static_cast<int>(std::chrono::milliseconds(test_support::wait_limit).count()));
            worker.join();
            shell.stop_timer();
            qobject_cast<QDialog*>(shell.window())->done(0);
        });
        shell.do_modal();
        QVERIFY2(in_time, "the run guard on the worker did not return");
        QVERIFY(running_during);
        QVERIFY(finished);
    }

    void an_error_in_a_pages_handler_is_shown_and_the_page_stays()
    {
        wizard_shell shell(product_title, 0, 0, 0);
        failing_page page(tk_exception("Invalid page range", 1));
        welcome_page next_page;
        shell.add_page(page.page_record());
        shell.add_page(next_page.page_record());
        install_wizard_event_failure_report();
        seen what;
        bool stayed = false;
        QTimer::singleShot(50, [&] {
            answer(what, QString());
            click_next(shell);
            stayed = reinterpret_cast<plat::hwnd>(
                         plat::send_message(shell.window(), plat::PSM_GETCURRENTPAGEHWND, 0, 0)) == page.window;
            qobject_cast<QDialog*>(shell.window())->done(0);
        });
        shell.do_modal();
        QCOMPARE(what.text, QStringLiteral("Invalid page range"));
        QCOMPARE(what.caption, QString::fromStdString(product_title + " Error"));
        QVERIFY(stayed);
        QCOMPARE(shell.error_count(), std::size_t{0});
    }

    void an_internal_error_ends_the_process_with_minus_1_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("where");
        for (const char* button : {"OK", "Copy to clipboard", "Send bug"})
            for (const char* where : {"main", "worker"})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(button, where))) << button << where;
        QTest::newRow("OK, a page's handler") << "OK" << "event";
    }
    void an_internal_error_ends_the_process_with_minus_1()
    {
        QFETCH(QString, button);
        QFETCH(QString, where);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QLT_INTERNAL_ERROR_BUTTON"), button);
        environment.insert(QStringLiteral("QLT_INTERNAL_ERROR_WHERE"), where);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("PATH"), QStringLiteral("/nonexistent")); // no mail agent
        environment.insert(QStringLiteral("DISPLAY"), QString());
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 255);
    }
};

int main(int argc, char** argv)
{
    const QByteArray button = qgetenv("QLT_INTERNAL_ERROR_BUTTON");
    if (!button.isEmpty())
        return internal_error_child(argc, argv, QString::fromUtf8(button), qgetenv("QLT_INTERNAL_ERROR_WHERE"));
    QApplication app(argc, argv);
    wizard_error_handler_test test;
    return QTest::qExec(&test, argc, argv);
}

#include "wizard_error_handler_test.moc"
