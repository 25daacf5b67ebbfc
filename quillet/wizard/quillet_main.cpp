// The graphical program quillet: the conversion wizard.
#include "quillet_entry.h"

int main(int argc, char** argv) { return quillet_win_main(argc, argv); }
