#pragma once
// The run's reports kept for the finish page: the shell's error list, at most 20 entries.
#include <cstddef>
#include <string>

inline constexpr std::size_t wizard_error_list_limit = 20;

// Appends the report to the shell's error list when the shell is initialised and the list
// has room; later reports are not kept.
void record_wizard_error(const std::string& report);
