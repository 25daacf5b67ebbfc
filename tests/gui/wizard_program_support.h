#pragma once
// What the wizard program's tests share: a user of their own (home and settings folders
// below a fresh temporary folder), the test documents, and a generated long document.
#include "test_support.h"

#include <string>

namespace wizard_test {

// Points HOME and XDG_CONFIG_HOME below `root`, so each test starts without settings and
// proposes destinations inside a home of its own.
void use_home(const test_support::temp_dir& root);

std::string fixture(const std::string& name);

// A document of `pages` pages; page k holds the line "Page k of N" and a few lines of text.
std::string long_document(int pages);

// The settings as the converter loads them at its next start.
struct stored_settings {
    bool all_present = false;
    bool open_on_exit = true;
    std::string src, dest, pages, password;
};
stored_settings load_settings();
void store_settings(const stored_settings& settings);

// How many form feeds (one per converted page) a text holds.
int page_breaks(const std::string& text);

} // namespace wizard_test
