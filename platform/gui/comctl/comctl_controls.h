#pragma once
// The controls module: the widgets that stand for the system's standard controls
// (static, button, edit, progress bar) and their answers to the control messages.
// Built as a shared library of its own that reports its version through DllGetVersion.
#include <cstdint>
#include <string>

class QWidget;

namespace comctl {

// Makes the control of a dialog template's item: `cls` is the template's class name
// ("STATIC", "BUTTON", "EDIT", "msctls_progress32"), `style` its style bits.
// Null for a class this module does not know.
QWidget* create_control(const std::string& cls, unsigned style, const std::string& text, QWidget* parent);

// Answers a control message sent to one of the module's controls; false when the
// control does not handle that message.
bool control_message(QWidget* control, unsigned msg, std::uintptr_t w, std::intptr_t l, std::intptr_t& result);

// Whether the control is an edit (its focus changes are notified as EN_SETFOCUS/EN_KILLFOCUS).
bool is_edit(const QWidget* control);

} // namespace comctl
