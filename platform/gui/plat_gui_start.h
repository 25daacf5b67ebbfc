#pragma once
// The start of the user interface: the application object and the services that need it.
// The widget toolkit aborts the process when it can't reach a display, so the display is
// probed first and a failure is an answer instead.

namespace plat {

// Whether the window system that the toolkit would use can be reached now.
bool can_reach_display();

// Makes the application object (kept until end_common_controls) and installs the user
// interface's services; false, with nothing made, when no display can be reached. The
// object is given the program's name (argv[0]) alone: the program takes no options, and
// none of the toolkit's acts. An application object that exists already is used as it is.
bool init_common_controls(int& argc, char** argv);
void end_common_controls();

// The services of the layer that need the application object: the clipboard fallback.
void install_gui_services();

} // namespace plat
