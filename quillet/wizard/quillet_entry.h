#pragma once
#include <cstdint>

// The wizard program: builds the error handler, the converter, the shell and the four pages
// in that order, runs the wizard modally and tears everything down in reverse order.
// The result is the process exit code: the sheet's result (1 after Finish, 0 after Cancel)
// when the wizard ran to its end, 0 after a failure of the start-up that was reported.
// A conversion that does not stop within a few seconds of the sheet's closing ends with the
// process: the settings are stored and the process ends with the sheet's result, without
// the teardown, which would destroy what the run still uses.
int quillet_win_main(int argc, char** argv);

// Returns only when the common-controls module is recent enough and the user interface could
// be started; otherwise it reports why and ends the process with exit code -1.
void check_common_controls(int& argc, char** argv);
// The same for a module of the given version (major version in the high 16 bits, minor in
// the low). A module that is too old is reported in a box when a display can be reached,
// else on the standard error stream.
void require_common_controls(std::uint32_t version, int& argc, char** argv);

// Makes the program's icon and wizard bitmaps available under their resource numbers.
void register_artwork();
