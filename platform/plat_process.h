#pragma once
// Helper programs of the desktop (clipboard keepers, the mail transfer agent): found on the
// PATH and run with a text on their standard input.
#include <string>
#include <vector>

namespace plat {

// The full name of the program `name` on the PATH, else in one of `extra_dirs`; empty when
// it is nowhere.
std::string find_program(const std::string& name, const std::vector<std::string>& extra_dirs = {});

// Runs `program` with `arguments`, writes `input` to its standard input and waits for it to
// end. Its output goes nowhere and it inherits no other open file of this process, so a
// program that stays in the background holds nothing of ours. Returns its exit status, or -1
// when it could not be started or did not end normally.
int run_with_input(const std::string& program, const std::vector<std::string>& arguments, const std::string& input);

} // namespace plat
