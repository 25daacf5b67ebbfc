#pragma once
// Drives the whole wizard program as a user would: a script of steps, each waiting until
// the program shows what it expects (a page, a box, a state of the run) and then acting on
// it, runs on the user-interface thread while quillet_win_main runs the wizard, also inside
// the modal boxes and dialogs that the program opens.
#include "g_welcome_page.h"
#include "plat_window.h"
#include "progress_page.h"
#include "select_files_page.h"

#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace wizard_driver {

// The wizard's pages by their dialog ids.
inline constexpr int welcome = welcome_page::idd;
inline constexpr int select_files = sel_file_page::idd;
inline constexpr int progress = progress_page::idd;
inline constexpr int finish = progress_page::finish_page_id;

class script {
public:
    // How long the script waits between two polls.
    static constexpr int poll_interval_ms = 10;

    // Waits (up to `timeout_ms`) until `ready` holds, then runs `act`. A step that times out
    // ends the test program with the step's name: the wizard would otherwise wait forever.
    script& then(const char* what, std::function<bool()> ready, std::function<void()> act, int timeout_ms = 10000);
    // Calls `watch` every time the script polls, whatever the current step (to record the
    // progress page's bar and status line while the run goes on).
    script& watching(std::function<void()> watch);
    // Starts polling; the steps run once the wizard's loop runs.
    void start();
    bool done() const { return next >= steps.size(); }

private:
    struct step {
        const char* what;
        std::function<bool()> ready;
        std::function<void()> act;
        int timeout_ms;
    };
    void poll();
    void queue_poll();

    std::vector<step> steps;
    std::vector<std::function<void()>> watchers;
    // The event loop level at which each running act started, innermost last.
    std::vector<int> acting_at;
    std::size_t next = 0;
    qint64 step_started = 0;
    // Owns the queued polls: they go with the script, also when the wizard ended first.
    QObject context;
};

// Runs the whole program with the script acting on it; returns its exit code. Says so when
// the program ended before the script did.
int run_wizard(script& steps);

// The sheet window; null while there is none.
QWidget* sheet();
// The dialog id of the page the sheet shows; 0 without a sheet.
int current_page();
// A control of the current page.
QWidget* item(int id);
// A control of the sheet (its buttons by id).
QWidget* sheet_item(int id);
// Clicks a button of the sheet or of the current page, as the user would.
void click_sheet(int id);
void click(int id);
// Puts `text` into an edit of the current page without moving the focus (as a paste).
void put(int id, const std::string& text);
std::string text_of(int id);
// Fills the select-files page's source and destination without moving the focus, so no
// destination is proposed.
void fill(const std::string& src, const std::string& dest);
bool checked(int id);
bool enabled(int id);
bool visible(int id);
// Moves the keyboard focus to a control of the current page.
void focus(int id);

// The message box on top of everything, when one is shown.
QWidget* box();
QString box_text();
QString box_caption();
// Presses a box's button by its text ("OK", "&Yes", "&No").
void answer(const QString& button);

// Types `name` into the file dialog on top and accepts it; an empty name cancels it.
void choose_in_file_dialog(const QString& name);

// Common stretches of a script: Next on the welcome page; Cancel and Yes to the exit question.
script& to_select_files(script& steps);
// From the start to a run that fails: the select-files page gets `src` (a document that
// opens) and `dest` (a file that exists), and when the overwrite question comes the source
// becomes a file that is no PDF document, so that the run can't read it.
script& to_failing_run(script& steps, const std::string& src, const std::string& dest);
script& cancel_and_confirm(script& steps);

// Ready conditions.
std::function<bool()> on_page(int id);
std::function<bool()> box_says(const std::string& text);
// A modal window with the given object name ("plat_file_dialog", "plat_dialog_114").
std::function<bool()> modal_named(const QString& name);

} // namespace wizard_driver
