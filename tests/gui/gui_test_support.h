#pragma once
// Helpers of the wizard's Qt tests: acting on the modal window that the code under test
// opens, and a small page template for driving the sheet.
#include "plat_dialog_template.h"

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>

class QFileDialog;

namespace gui_test {

// Calls `act` with the next modal window (a box or dialog) once it is shown; the call that
// opens the window runs after this one. Fails the test when no window comes within the time,
// unless `window_expected` is false.
// Returns the watch, which stops once it has acted or given up.
QPointer<QTimer> when_modal(std::function<void(QWidget*)> act, int timeout_ms = 5000, bool window_expected = true);

// Presses the box's button with the given text ("&Yes", "&No", "OK"); a warning when the box
// has none.
void press_button(QWidget* window, const QString& text);

// Puts `name` into the file dialog's name box and accepts the dialog at once.
void type_and_accept(QFileDialog* dialog, const QString& name);

// Presses a key as the user would: it goes to the window on top (the modal one when one is
// shown), which hands it to the control that has the focus there. A key that opens a modal
// window returns once that window has closed.
void press_key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Presses keys named by words, in order: "Tab", "Backtab", "Enter", "Space", "Escape".
void press_keys(const QString& words);
// The control that has the keyboard focus in the window on top; null when none has.
QWidget* focused_control();

// A page template of its own for the tests.
const plat::dialog_template& test_page_template(int id);

} // namespace gui_test
