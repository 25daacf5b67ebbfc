// QLTAGENT: converts one PDF document into a text file, named by command-line options.
#include "qltagent_program.h"

int main(int argc, char* argv[]) { return qltagent_program(argc, argv); }
