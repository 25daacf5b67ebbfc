#pragma once
// The program's own file and folder, and the user's folders.
#include <string>

// The running program's full file name; raises tk_mail_assertion when the system gives none.
std::string tk_get_module_file_name();

// The program's folder, with its trailing separator.
std::string tk_get_module_dir();

// The user's local application-data folder, without trailing separator; empty on failure.
std::string tk_get_appdata_path();

// The user's documents folder, without trailing separator; empty on failure.
std::string tk_get_user_home_path();

// The user's home folder, without trailing separator; empty on failure.
std::string tk_get_user_profile_path();
