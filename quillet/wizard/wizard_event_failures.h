#pragma once
// The wizard's answer to a failure raised inside a handler of the window system: an internal
// error goes to the error handler (its dialog, then the process ends with -1); any other
// failure is shown in the shell's error box and the page stays. Installed by the program once
// its shell exists (it replaces the shell's own answer, which has no error handler to use).
#include <exception>

void wizard_report_event_failure(std::exception_ptr failure);
void install_wizard_event_failure_report();
