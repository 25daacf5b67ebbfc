#pragma once
// The automatic radio button (BS_AUTORADIOBUTTON) and the groups of a dialog's controls.
// A group runs, in the dialog's order, from a control with WS_GROUP up to the control before
// the next one with it. Checking an automatic radio button (a click, BM_SETCHECK, an arrow
// key) clears the other automatic radio buttons of its group; the checked radio button is
// the group's tab stop, the others are no tab stops. In a radio button the arrow keys move
// to the previous or next radio button of the group.
#include <QString>

class QAbstractButton;
class QWidget;

namespace comctl {

// Keeps the style bits that a control was made with (its window style).
void keep_style(QWidget* control, unsigned style);

QAbstractButton* create_auto_radio_button(const QString& text, QWidget* parent);

// BM_SETCHECK on an automatic radio button; false when `button` is none.
bool set_radio_check(QAbstractButton* button, bool checked);

} // namespace comctl
