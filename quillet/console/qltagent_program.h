#pragma once
// The whole of QLTAGENT once its process has started: the command line and its checks,
// the conversion, the settings.
#include <cstdint>
#include <functional>

// Runs the program on its command line and gives its exit code (0; every other ending
// leaves the process from inside). `before_page_for_tests` becomes the converter's hook
// of that name; empty in the program.
int qltagent_program(int argc, char* argv[], const std::function<void(std::uint32_t)>& before_page_for_tests = {});
