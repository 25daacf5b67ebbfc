#include "wizard_driver.h"

#include "g_wizard_shell.h"
#include "gui_test_support.h"
#include "message_table.h"
#include "plat_gui_constants.h"
#include "quillet_entry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace wizard_driver {

using namespace plat;

script& script::then(const char* what, std::function<bool()> ready, std::function<void()> act, int timeout_ms)
{
    steps.push_back({what, std::move(ready), std::move(act), timeout_ms});
    return *this;
}

script& script::watching(std::function<void()> watch)
{
    watchers.push_back(std::move(watch));
    return *this;
}

void script::start()
{
    step_started = QDateTime::currentMSecsSinceEpoch();
    queue_poll();
}

void script::queue_poll() { QTimer::singleShot(poll_interval_ms, &context, [this] { poll(); }); }

void script::poll()
{
    for (const auto& watch : watchers)
        watch();
    if (done())
        return;
    // An act that processes events (every key that QTest delivers does) lets the queued
    // poll in; the next step waits until that act has returned, unless it polls from the
    // loop of a window the act opened.
    const int loop_level = QThread::currentThread()->loopLevel();
    if (!acting_at.empty() && loop_level <= acting_at.back()) {
        queue_poll();
        return;
    }
    step& current = steps[next];
    if (current.ready()) {
        ++next;
        step_started = QDateTime::currentMSecsSinceEpoch();
        // The next poll is queued first: an act that opens a modal window keeps polling
        // from inside that window's loop.
        queue_poll();
        acting_at.push_back(loop_level);
        current.act();
        acting_at.pop_back();
        return;
    }
    if (QDateTime::currentMSecsSinceEpoch() - step_started > current.timeout_ms) {
        std::fprintf(stderr, "wizard script: step '%s' timed out (page %d, box '%s')\n", current.what,
                     current_page(), qPrintable(box_text()));
        std::fflush(stderr);
        std::_Exit(3);
    }
    queue_poll();
}

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

QWidget* sheet() { return wizard_shell::has_instance() ? wizard_shell::instance()->window() : nullptr; }

namespace {
QWidget* current_page_window()
{
    QWidget* window = sheet();
    if (window == nullptr)
        return nullptr;
    return reinterpret_cast<QWidget*>(send_message(window, PSM_GETCURRENTPAGEHWND, 0, 0));
}
} // namespace

int current_page()
{
    QWidget* page = current_page_window();
    if (page == nullptr)
        return 0;
    return page->objectName().section(QLatin1Char('_'), -1).toInt();
}

QWidget* item(int id) { return get_dlg_item(current_page_window(), id); }
QWidget* sheet_item(int id) { return get_dlg_item(sheet(), id); }

void click_sheet(int id) { qobject_cast<QAbstractButton*>(sheet_item(id))->click(); }
void click(int id) { qobject_cast<QAbstractButton*>(item(id))->click(); }

void put(int id, const std::string& text) { set_window_text(item(id), text); }
std::string text_of(int id) { return get_window_text(item(id), 4096); }
void fill(const std::string& src, const std::string& dest)
{
    put(sel_file_page::src_edit, src);
    put(sel_file_page::dest_edit, dest);
}
bool checked(int id) { return qobject_cast<QAbstractButton*>(item(id))->isChecked(); }
bool enabled(int id) { return item(id)->isEnabled(); }
bool visible(int id) { return item(id)->isVisible(); }
void focus(int id) { item(id)->setFocus(Qt::TabFocusReason); }

QWidget* box()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal->objectName() == QLatin1String("plat_message_box") && modal->isVisible())
        return modal;
    return nullptr;
}

QString box_text()
{
    auto* shown = qobject_cast<QMessageBox*>(box());
    return shown != nullptr ? shown->text() : QString();
}

QString box_caption()
{
    QWidget* shown = box();
    return shown != nullptr ? shown->windowTitle() : QString();
}

void answer(const QString& button)
{
    if (QWidget* shown = box())
        gui_test::press_button(shown, button);
}

void choose_in_file_dialog(const QString& name)
{
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (name.isEmpty()) {
        dialog->reject();
        return;
    }
    gui_test::type_and_accept(dialog, name);
}

script& to_select_files(script& steps)
{
    return steps.then("welcome page", on_page(welcome), [] { click_sheet(ID_PSNEXT); });
}

script& to_failing_run(script& steps, const std::string& src, const std::string& dest)
{
    return to_select_files(steps)
        .then("select files", on_page(select_files), [src, dest] {
            fill(src, dest);
            click_sheet(ID_PSNEXT);
        })
        .then("overwrite question", box_says(msg::dest_overwrite), [src] {
            std::ofstream spoiled(src, std::ios::binary | std::ios::trunc);
            spoiled << "no longer a PDF document";
            spoiled.close();
            if (!spoiled) {
                std::fprintf(stderr, "wizard script: cannot spoil %s\n", src.c_str());
                std::fflush(stderr);
                std::_Exit(3);
            }
            answer("&Yes");
        });
}

script& cancel_and_confirm(script& steps)
{
    return steps.then("cancel", [] { return true; }, [] { click_sheet(IDCANCEL); })
        .then("exit question", box_says(msg::exit_question), [] { answer("&Yes"); });
}

std::function<bool()> on_page(int id)
{
    // Ready on the second poll that finds the page with no box or dialog over the sheet, so
    // that the buttons the page posted on its activation have arrived.
    auto seen = std::make_shared<int>(0);
    return [id, seen] {
        if (QApplication::activeModalWidget() != sheet() || current_page() != id) {
            *seen = 0;
            return false;
        }
        return ++*seen >= 2;
    };
}

std::function<bool()> box_says(const std::string& text)
{
    return [text] { return box_text() == QString::fromLocal8Bit(text.c_str()); };
}

std::function<bool()> modal_named(const QString& name)
{
    return [name] {
        QWidget* modal = QApplication::activeModalWidget();
        return modal != nullptr && modal->objectName() == name && modal->isVisible();
    };
}

} // namespace wizard_driver
