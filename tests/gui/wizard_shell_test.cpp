// The wizard shell, its boxes and the page template, driven through the real sheet.
#include "g_welcome_page.h"
#include "g_wizard_page.h"
#include "g_wizard_shell.h"
#include "gui_test_support.h"
#include "message_table.h"
#include "plat_gui_constants.h"
#include "plat_gui_start.h"
#include "plat_message_box.h"
#include "tk_exception.h"
#include "test_support.h"
#include "tk_folders.h"
#include "tk_thread.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QFontMetrics>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

using namespace plat;
using gui_test::when_modal;

template <>
const dialog_template& plat::dialog_resource<201>() { return gui_test::test_page_template(201); }
template <>
const dialog_template& plat::dialog_resource<202>() { return gui_test::test_page_template(202); }
template <>
const dialog_template& plat::dialog_resource<203>() { return gui_test::test_page_template(203); }

namespace {

const std::string title = "Lumetra 3.3";
// How long a wait for a worker or a child process lasts at most.
constexpr int wait_ms = static_cast<int>(std::chrono::milliseconds(test_support::wait_limit).count());
// Set in the copy of this program that the help case runs in.
constexpr const char* help_copy_variable = "QLT_HELP_TEST_COPY";

// A page that records what reaches it and answers as told.
template <int IDD, unsigned BUTTONS, unsigned FLAGS>
class probe_page : public wizard_page<IDD, BUTTONS, FLAGS> {
public:
    bool ProcessWindowMessage(hwnd w, unsigned msg, wparam wp, lparam lp, lresult& result, unsigned map_id) override
    {
        if (msg == WM_TIMER) {
            ++ticks;
            return true;
        }
        if (msg == WM_COMMAND)
            commands.emplace_back(static_cast<int>(loword(wp)), hiword(wp));
        return wizard_page<IDD, BUTTONS, FLAGS>::ProcessWindowMessage(w, msg, wp, lp, result, map_id);
    }
    bool page_init() override
    {
        ++activations;
        if (post_after_init >= 0)
            post_message(this->get_parent(), PSM_SETWIZBUTTONS, 0, post_after_init);
        return accept_activation;
    }
    bool on_kill_active() override { return may_leave; }
    bool on_finish() override { return may_finish; }
    void on_help() override { ++helps; }
    int on_next() override { return next_answer; }
    int on_back() override { return back_answer; }

    std::vector<std::pair<int, unsigned>> commands;
    int activations = 0;
    int ticks = 0;
    int helps = 0;
    int post_after_init = -1;
    bool accept_activation = true;
    bool may_leave = true;
    bool may_finish = true;
    int next_answer = 0;
    int back_answer = 0;
};

using first_page = probe_page<201, PSWIZB_NEXT, PSP_HASHELP>;
using middle_page = probe_page<202, PSWIZB_BACK | PSWIZB_NEXT, 0>;
using last_page = probe_page<203, PSWIZB_BACK | PSWIZB_FINISH, PSP_HASHELP>;

QAbstractButton* button(int id) { return qobject_cast<QAbstractButton*>(get_dlg_item(wizard_shell::instance()->window(), id)); }
void settle() { QTest::qWait(30); }
// A click, then the posted button masks have arrived.
void click(int id)
{
    button(id)->click();
    settle();
}
hwnd current_page() { return reinterpret_cast<hwnd>(send_message(wizard_shell::instance()->window(), PSM_GETCURRENTPAGEHWND, 0, 0)); }

// Runs the sheet with the three probe pages; `steps` runs inside the sheet and must end it.
struct sheet_run {
    wizard_shell shell{title, 0, 0, 0};
    first_page first;
    middle_page middle;
    last_page last;

    int run(std::function<void()> steps)
    {
        shell.add_page(first.page_record());
        shell.add_page(middle.page_record());
        shell.add_page(last.page_record());
        QTimer::singleShot(20, [steps] {
            steps();
            // A scenario that failed half way still closes the sheet.
            auto* sheet = qobject_cast<QDialog*>(wizard_shell::instance()->window());
            if (sheet != nullptr && sheet->isVisible())
                sheet->done(-2);
        });
        return shell.do_modal();
    }
};

// The caption, owner and text of the next box, answered with `answer`.
struct box_seen {
    QString caption;
    QWidget* owner = nullptr;
    QString text;
};

void answer_next_box(box_seen& seen, QMessageBox::StandardButton answer)
{
    when_modal([&seen, answer](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        seen.caption = window->windowTitle();
        seen.owner = window->parentWidget();
        seen.text = box != nullptr ? box->text() : QString();
        if (box == nullptr)
            qWarning("modal window %s", window->metaObject()->className());
        if (box != nullptr && answer == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Return);
        else if (box != nullptr)
            box->button(answer)->click();
    });
}

// A worker that asks for a box and for the timer while the user-interface thread cannot
// serve it.
struct asking_work : tk_thread_functor {
    void operator()() override
    {
        asked = true;
        wizard_shell::error("never shown");
        wizard_shell::instance()->start_timer(200);
        returned = true;
    }
    std::atomic<bool> asked{false};
    std::atomic<bool> returned{false};
};

struct asking_thread : tk_thread {
    explicit asking_thread(asking_work* work_) : tk_thread(false), work(work_) {}
    tk_thread_functor* create_functor() override { return work; }
    asking_work* work;
};

} // namespace

class wizard_shell_test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { install_gui_services(); }

    void pages_move_as_their_answers_say()
    {
        sheet_run sheet;
        bool jumped = false, stayed = false, skipped = false, kept = false;
        bool back_on_first = true, next_on_first = false;
        const int result = sheet.run([&] {
            settle();
            back_on_first = button(ID_PSBACK)->isEnabled();
            next_on_first = button(ID_PSNEXT)->isEnabled();
            sheet.first.next_answer = 203; // a dialog id: that page
            click(ID_PSNEXT);
            jumped = current_page() == sheet.last.window;
            settle();
            sheet.last.back_answer = -1; // stay
            click(ID_PSBACK);
            stayed = current_page() == sheet.last.window;
            sheet.last.back_answer = 0;  // the previous page, which refuses: the one before it
            sheet.middle.accept_activation = false;
            click(ID_PSBACK);
            skipped = current_page() == sheet.first.window;
            sheet.first.may_leave = false;
            sheet.first.next_answer = 0;
            sheet.middle.accept_activation = true;
            click(ID_PSNEXT);
            kept = current_page() == sheet.first.window;
            sheet.first.may_leave = true;
            click(ID_PSNEXT);
            click(ID_PSNEXT);
            settle();
            sheet.last.may_finish = false;
            click(ID_PSFINISH);
            sheet.last.may_finish = true;
            click(ID_PSFINISH);
        });
        QVERIFY(!back_on_first);
        QVERIFY(next_on_first);
        QVERIFY(jumped);
        QVERIFY(stayed);
        QVERIFY(skipped);
        QVERIFY(kept);
        QCOMPARE(sheet.middle.activations, 2);
        QCOMPARE(result, 1);
    }

    void the_last_posted_buttons_win()
    {
        sheet_run sheet;
        sheet.middle.post_after_init = 0; // as the progress page: everything off after the template's mask
        bool back = true, next = true, next_shown = false, finish_shown = true;
        bool finish_enabled = false, next_hidden_on_last = false, cancel = false;
        sheet.run([&] {
            click(ID_PSNEXT);
            settle();
            back = button(ID_PSBACK)->isEnabled();
            next = button(ID_PSNEXT)->isEnabled();
            next_shown = !button(ID_PSNEXT)->isHidden();
            finish_shown = !button(ID_PSFINISH)->isHidden();
            cancel = button(IDCANCEL)->isEnabled();
            send_message(wizard_shell::instance()->window(), PSM_SETCURSELID, 0, 203);
            settle();
            finish_enabled = button(ID_PSFINISH)->isEnabled() && !button(ID_PSFINISH)->isHidden();
            next_hidden_on_last = button(ID_PSNEXT)->isHidden();
        });
        QVERIFY(!back);
        QVERIFY(!next);
        QVERIFY(next_shown);
        QVERIFY(!finish_shown);
        QVERIFY(cancel);
        QVERIFY(finish_enabled);
        QVERIFY(next_hidden_on_last);
    }

    void cancel_asks_with_no_as_the_default()
    {
        sheet_run sheet;
        box_seen first_box, escape_box, close_box, yes_box;
        bool kept_page = false;
        hwnd sheet_window = nullptr;
        const int result = sheet.run([&] {
            sheet_window = wizard_shell::instance()->window();
            answer_next_box(first_box, QMessageBox::NoButton); // Enter
            click(IDCANCEL);
            kept_page = current_page() == sheet.first.window;
            answer_next_box(escape_box, QMessageBox::No);
            QTest::keyClick(sheet_window, Qt::Key_Escape);
            answer_next_box(close_box, QMessageBox::No);
            sheet_window->close();
            answer_next_box(yes_box, QMessageBox::Yes);
            click(IDCANCEL);
        });
        QCOMPARE(first_box.caption, QString::fromStdString(title + " Question"));
        QCOMPARE(first_box.text, QString::fromLatin1(msg::exit_question));
        QCOMPARE(first_box.owner, sheet_window);
        QVERIFY(kept_page);
        QCOMPARE(escape_box.text, QString::fromLatin1(msg::exit_question));
        QCOMPARE(close_box.text, QString::fromLatin1(msg::exit_question));
        QCOMPARE(yes_box.caption, first_box.caption);
        QCOMPARE(result, 0);
    }

    // The Help button follows the page's help flag; F1 sends the current page its help
    // notification whatever the flag says, as the middle page (without the flag) shows.
    void help_reaches_the_page_by_button_and_f1()
    {
        sheet_run sheet;
        bool help_on_middle = true, cancel_disabled = false, escape_ignored = false;
        sheet.run([&] {
            click(IDHELP);
            QTest::keyClick(wizard_shell::instance()->window(), Qt::Key_F1);
            click(ID_PSNEXT);
            help_on_middle = button(IDHELP)->isEnabled();
            click(IDHELP);
            QTest::keyClick(wizard_shell::instance()->window(), Qt::Key_F1);
            sheet.shell.enable_button(IDCANCEL, false);
            cancel_disabled = !button(IDCANCEL)->isEnabled();
            QTest::keyClick(wizard_shell::instance()->window(), Qt::Key_Escape);
            escape_ignored = wizard_shell::instance()->window() != nullptr;
        });
        QCOMPARE(sheet.first.helps, 2);
        QVERIFY(!help_on_middle);
        QCOMPARE(sheet.middle.helps, 1);
        QCOMPARE(sheet.last.helps, 0);
        QVERIFY(cancel_disabled);
        QVERIFY(escape_ignored);
    }

    void the_progress_timer_ticks_the_current_page()
    {
        sheet_run sheet;
        int ticks_while_running = 0, ticks_after_stop = 0;
        bool second_start_failed = false;
        std::string failure;
        sheet.run([&] {
            std::atomic<bool> started{false};
            std::thread worker([&] {
                sheet.shell.start_timer(20);
                started = true;
            });
            const bool in_time = QTest::qWaitFor([&] { return started.load(); }, wait_ms);
            worker.join();
            QVERIFY2(in_time, "the worker's timer start did not return");
            // Two ticks, however long the machine takes to deliver them.
            for (QDeadlineTimer deadline(10000); sheet.first.ticks < 2 && !deadline.hasExpired();)
                QTest::qWait(10);
            ticks_while_running = sheet.first.ticks;
            try {
                sheet.shell.start_timer(20);
            } catch (const tk_mail_assertion& e) {
                second_start_failed = true;
                failure = e.what();
            }
            // A timer of another id is swallowed by the shell.
            send_message(wizard_shell::instance()->window(), WM_TIMER, 5, 0);
            sheet.shell.stop_timer();
            sheet.shell.stop_timer();
            const int at_stop = sheet.first.ticks;
            QTest::qWait(100);
            ticks_after_stop = sheet.first.ticks - at_stop;
        });
        QVERIFY(ticks_while_running >= 2);
        QVERIFY(second_start_failed);
        QCOMPARE(failure, tk_assertion_code("g_wiz_sh", 250));
        QCOMPARE(ticks_after_stop, 0);
        QVERIFY(!sheet.shell.timer_running);
    }

    void boxes_take_caption_and_owner_from_the_shell()
    {
        box_seen without_shell, uninitialised, on_page, message_on_page, after_run;
        answer_next_box(without_shell, QMessageBox::Ok);
        wizard_shell::error("no shell yet");
        hwnd sheet_window = nullptr;
        {
            sheet_run sheet;
            answer_next_box(uninitialised, QMessageBox::Ok);
            wizard_shell::error("shell not shown");
            QVERIFY(!wizard_shell::is_initialized());
            sheet.run([&] {
                sheet_window = wizard_shell::instance()->window();
                answer_next_box(on_page, QMessageBox::Ok);
                wizard_shell::error("100% wrong");
                answer_next_box(message_on_page, QMessageBox::Ok);
                wizard_shell::message("note");
            });
            answer_next_box(after_run, QMessageBox::Ok);
            wizard_shell::error("sheet closed");
        }
        QCOMPARE(without_shell.caption, QStringLiteral("Error"));
        QVERIFY(without_shell.owner == nullptr);
        QCOMPARE(uninitialised.caption, QStringLiteral("Error"));
        QCOMPARE(on_page.caption, QString::fromStdString(title + " Error"));
        QCOMPARE(on_page.owner, sheet_window);
        QCOMPARE(on_page.text, QStringLiteral("100% wrong"));
        QCOMPARE(message_on_page.caption, QString::fromStdString(title + " Message"));
        // After the run the sheet window is gone: no owner, whatever the flag says.
        QVERIFY(after_run.owner == nullptr);
    }

    // A box is as wide as the wider of its text and its caption, and no wider than the
    // screen, its window frame included. The caption needs its width in the title bar's
    // font, which window managers commonly make bold, and room for an icon and three buttons
    // each a bar's height wide.
    void a_box_is_as_wide_as_its_caption_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::newRow("the shell's caption") << QString::fromStdString(title + " Error") << "Invalid page range";
        QTest::newRow("a caption wider than the text")
            << "Lumetra 3.3 Error: a caption much wider than the text of the box" << "x";
        QTest::newRow("a text wider than the caption")
            << "Error" << "A text of a single line that is far wider than the caption above it";
        QTest::newRow("a caption wider than the screen") << QString(400, QLatin1Char('W')) << "x";
    }
    void a_box_is_as_wide_as_its_caption()
    {
        QFETCH(QString, caption);
        QFETCH(QString, text);
        int width = 0, frame = 0, screen_width = 0, bar = 0;
        when_modal([&](QWidget* box) {
            width = box->width();
            frame = box->frameGeometry().width() - width;
            screen_width = box->screen()->availableGeometry().width();
            bar = box->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, box);
            gui_test::press_button(box, QStringLiteral("OK"));
        });
        message_box(nullptr, text.toStdString(), caption.toStdString(), MB_OK | MB_ICONERROR);
        QFont caption_font = QApplication::font("QMdiSubWindowTitleBar");
        caption_font.setBold(true);
        const int caption_needs = QFontMetrics(caption_font).horizontalAdvance(caption) + 4 * bar;
        const int text_needs = QFontMetrics(QApplication::font()).horizontalAdvance(text);
        const QString widths = QStringLiteral("%1 px and a frame of %2; caption %3, text %4, screen %5")
                                   .arg(width).arg(frame).arg(caption_needs).arg(text_needs).arg(screen_width);
        QVERIFY2(width + frame >= std::min(std::max(caption_needs, text_needs) + frame, screen_width),
                 qPrintable(widths));
        QVERIFY2(width + frame <= screen_width, qPrintable(widths));
    }

    void a_box_asked_for_on_a_worker_runs_while_the_worker_waits()
    {
        sheet_run sheet;
        box_seen seen;
        std::atomic<bool> worker_returned{false};
        bool returned_while_box_open = true;
        hwnd sheet_window = nullptr;
        sheet.run([&] {
            sheet_window = wizard_shell::instance()->window();
            when_modal([&](QWidget* box) {
                seen.caption = box->windowTitle();
                seen.owner = box->parentWidget();
                QTest::qWait(100);
                returned_while_box_open = worker_returned;
                qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
            });
            std::thread worker([&] {
                wizard_shell::error("from the worker");
                worker_returned = true;
            });
            const bool in_time = QTest::qWaitFor([&] { return worker_returned.load(); }, wait_ms);
            worker.join();
            QVERIFY2(in_time, "the worker's box did not return");
        });
        QVERIFY(!returned_while_box_open);
        QCOMPARE(seen.caption, QString::fromStdString(title + " Error"));
        QCOMPARE(seen.owner, sheet_window);
    }

    void the_sheet_flags_follow_the_bitmaps_data()
    {
        QTest::addColumn<int>("watermark");
        QTest::addColumn<int>("header");
        QTest::addColumn<unsigned>("flags");
        QTest::newRow("no bitmaps") << 0 << 0 << (PSH_USECALLBACK | PSH_WIZARD | PSH_HASHELP | PSH_STRETCHWATERMARK);
        QTest::newRow("both bitmaps")
            << 311 << 312
            << (PSH_USECALLBACK | PSH_WIZARD | PSH_HASHELP | PSH_STRETCHWATERMARK | PSH_WIZARD97 | PSH_WATERMARK |
                PSH_USEHBMWATERMARK | PSH_HEADER | PSH_USEHBMHEADER);
    }
    void the_sheet_flags_follow_the_bitmaps()
    {
        QFETCH(int, watermark);
        QFETCH(int, header);
        QFETCH(unsigned, flags);
        wizard_shell shell(title, 0, watermark, header);
        QCOMPARE(shell.header.flags, flags);
    }

    void the_window_is_placed_once()
    {
        sheet_run sheet;
        QPoint moved_to, after_next_back;
        sheet.run([&] {
            QWidget* window = wizard_shell::instance()->window();
            window->move(window->pos() + QPoint(37, 23));
            moved_to = window->pos();
            click(ID_PSNEXT);
            click(ID_PSBACK);
            after_next_back = window->pos();
        });
        QCOMPARE(after_next_back, moved_to);
        QCOMPARE(sheet.shell.initialized.load(), true);
    }

    void the_welcome_page_makes_its_title_font_once_and_opens_its_help()
    {
        wizard_shell shell(title, 0, 0, 0);
        welcome_page welcome;
        middle_page second;
        shell.add_page(welcome.page_record());
        shell.add_page(second.page_record());
        hfont first_font = nullptr, second_font = nullptr;
        bool back = true, next = false;
        box_seen help_box;
        QTimer::singleShot(20, [&] {
            settle();
            first_font = welcome.title_font;
            back = button(ID_PSBACK)->isEnabled();
            next = button(ID_PSNEXT)->isEnabled();
            click(ID_PSNEXT);
            click(ID_PSBACK);
            second_font = welcome.title_font;
            answer_next_box(help_box, QMessageBox::Ok);
            click(IDHELP);
            qobject_cast<QDialog*>(wizard_shell::instance()->window())->done(0);
        });
        shell.do_modal();
        QVERIFY(first_font != nullptr);
        QCOMPARE(second_font, first_font);
        QVERIFY(!back);
        QVERIFY(next);
        // No help file lies beside the test program.
        QCOMPARE(help_box.text, QString::fromLatin1(msg::help_file_missing));
    }

    void a_plain_check_box_is_toggled_by_the_program_only()
    {
        sheet_run sheet;
        bool after_click = true, first_invert = false, second_invert = true;
        sheet.run([&] {
            auto* box = qobject_cast<QCheckBox*>(sheet.first.get_dlg_item(1222));
            box->click();
            after_click = box->isChecked();
            first_invert = sheet.first.invert_chbox(1222);
            second_invert = sheet.first.invert_chbox(1222);
        });
        QVERIFY(!after_click);
        QVERIFY(first_invert);
        QVERIFY(!second_invert);
    }

    // Messages posted on a worker reach their window on the user-interface thread, in the
    // order posted. The worker lives on until they have arrived, so that nothing but the
    // post itself orders them after the worker's writes.
    void messages_posted_on_a_worker_arrive_in_order()
    {
        sheet_run sheet;
        const std::vector<std::pair<int, unsigned>> posted{{4001, BN_CLICKED}, {4002, EN_CHANGE}, {4003, BN_CLICKED}};
        std::vector<std::pair<int, unsigned>> seen;
        bool all_posted = false, in_time = false;
        sheet.run([&] {
            const hwnd page = current_page();
            sheet.first.commands.clear();
            std::atomic<bool> arrived{false};
            std::thread worker([&] {
                all_posted = true;
                for (const auto& [id, code] : posted)
                    all_posted = post_message(page, WM_COMMAND, make_wparam(static_cast<unsigned>(id), code), 0) &&
                                 all_posted;
                test_support::wait_until([&] { return arrived.load(); });
            });
            in_time = QTest::qWaitFor([&] { return sheet.first.commands.size() >= posted.size(); }, wait_ms);
            arrived = true;
            worker.join();
            seen = sheet.first.commands;
        });
        QVERIFY(all_posted);
        QVERIFY2(in_time, "the posted messages did not arrive");
        QCOMPARE(seen, posted);
    }

    void a_stop_request_releases_a_worker_waiting_for_the_user_interface()
    {
        wizard_shell shell(title, 0, 0, 0);
        asking_work work;
        asking_thread thread(&work);
        thread.start();
        QVERIFY(test_support::wait_until([&] { return work.asked.load(); }));
        // The user-interface thread is busy here and then waits for the worker to end.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        thread.terminate();
        QVERIFY(work.returned);
        QVERIFY(!shell.timer_running);
        bool box_shown = false;
        QTimer::singleShot(50, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                box_shown = true;
                modal->close();
            }
        });
        QTest::qWait(150);
        QVERIFY(!box_shown);
    }

    void help_opens_the_viewer_at_the_topic_data()
    {
        QTest::addColumn<int>("topic");
        QTest::addColumn<QString>("arguments");
        const QString file = QString::fromStdString(tk_get_module_file_name() + ".chm");
        QTest::newRow("topic 1013") << 1013 << "-c 1013 " + file;
        QTest::newRow("default topic") << -1 << file;
    }
    // The help file must lie beside the program, and whoever runs the tests may not write
    // the build folder: the case runs in a copy of this program in a folder of its own.
    void help_opens_the_viewer_at_the_topic()
    {
        QFETCH(int, topic);
        QFETCH(QString, arguments);
        if (qEnvironmentVariableIsEmpty(help_copy_variable)) {
            test_support::temp_dir copy_dir;
            const std::string copy = copy_dir.file("wizard_shell_test");
            std::filesystem::copy_file(tk_get_module_file_name(), copy);
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QString::fromLatin1(help_copy_variable), QStringLiteral("1"));
            child.setProcessEnvironment(environment);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QString::fromStdString(copy),
                        {QStringLiteral("help_opens_the_viewer_at_the_topic:") + QTest::currentDataTag()});
            QVERIFY2(child.waitForFinished(wait_ms), "the copy of the test program did not end");
            const QByteArray report = child.readAll();
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, report.constData());
            return;
        }
        const std::string help_file = tk_get_module_file_name() + ".chm";
        test_support::write_file(help_file, "ITSF");
        test_support::temp_dir viewer_dir;
        const std::string viewer = viewer_dir.file("xchm");
        test_support::write_file(viewer, "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/args.tmp\"\n"
                                         "mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/args\"\n");
        std::filesystem::permissions(viewer, std::filesystem::perms::owner_all);
        {
            const test_support::scoped_env path("PATH", viewer_dir.path().string() + ":" + std::getenv("PATH"));
            if (topic < 0)
                wizard_shell::display_help();
            else
                wizard_shell::display_help(topic);
        }
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(viewer_dir.file("args")), 5000);
        QCOMPARE(QString::fromStdString(test_support::read_file(viewer_dir.file("args"))).trimmed(), arguments);
    }

    void controls_notify_their_page_and_read_into_260_byte_buffers()
    {
        sheet_run sheet;
        std::string read_back;
        sheet.run([&] {
            QWidget* window = wizard_shell::instance()->window();
            QApplication::setActiveWindow(window);
            settle();
            sheet.first.commands.clear();
            sheet.first.get_dlg_item(1003)->setFocus();
            settle();
            sheet.first.get_dlg_item(1107)->setFocus();
            settle();
            qobject_cast<QAbstractButton*>(sheet.first.get_dlg_item(1107))->click();
            sheet.first.set_dlg_item_text(1003, std::string(300, 'x'));
            read_back = sheet.first.get_dlg_item_text(1003);
        });
        const std::vector<std::pair<int, unsigned>> focus_and_click{
            {1003, EN_SETFOCUS}, {1003, EN_KILLFOCUS}, {1107, BN_CLICKED}};
        std::vector<std::pair<int, unsigned>> seen;
        for (const auto& command : sheet.first.commands)
            if (command.second != EN_CHANGE)
                seen.push_back(command);
        QCOMPARE(seen, focus_and_click);
        QCOMPARE(read_back, std::string(259, 'x'));
    }

    void a_sheet_without_pages_cannot_be_made()
    {
        wizard_shell shell(title, 0, 0, 0);
        QCOMPARE(shell.do_modal(), -1);
    }

    void the_display_is_probed_before_the_toolkit_starts_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("display");
        QTest::addColumn<bool>("reachable");
        QTest::newRow("offscreen") << "offscreen" << "" << true;
        QTest::newRow("X11 without a display") << "xcb" << "" << false;
        QTest::newRow("X11 with a display nobody serves") << "" << ":4711" << false;
        QTest::newRow("Wayland without a socket") << "wayland" << "" << false;
    }
    void the_display_is_probed_before_the_toolkit_starts()
    {
        QFETCH(QString, platform);
        QFETCH(QString, display);
        QFETCH(bool, reachable);
        bool reached = false;
        {
            const test_support::scoped_env platform_variable("QT_QPA_PLATFORM", platform.toStdString());
            const test_support::scoped_env display_variable("DISPLAY", display.toStdString());
            const test_support::scoped_env wayland_variable("WAYLAND_DISPLAY", "");
            reached = can_reach_display();
        }
        QCOMPARE(reached, reachable);
    }
};

QTEST_MAIN(wizard_shell_test)
#include "wizard_shell_test.moc"
