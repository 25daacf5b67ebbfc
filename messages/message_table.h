#pragma once
// The program's table of the texts the user sees and of the settings names.
// Both programs use this one table; each subsystem keeps its entries in its own block.

namespace msg {

// ---- Toolkit --------------------------------------------------------------
inline constexpr const char* unknown_exception = "Unknown exception";
inline constexpr const char* internal_error_head = "Internal error: \ncode=";
inline constexpr const char* generic_settings = "Generic settings";
inline constexpr const char* selected_tables = "Selected Tables";
inline constexpr const char* key_src = "src";
inline constexpr const char* key_dest = "dest";
inline constexpr const char* key_logfile = "logfile";
inline constexpr const char* support_mail = "mailto:support@corvane.example";

// ---- Toolkit: file names and folders --------------------------------------
inline constexpr const char* path_too_long =
    "The file name is too long: a full path must be shorter than 260 characters.";

// ---- Toolkit: settings store, profile, thread -----------------------------

// ---- Conversion engine ----------------------------------------------------
inline constexpr const char* incorrect_password = "Incorrect password";
inline constexpr const char* pdf_unreadable =
    "The program cannot read PDF document. It might be corrupted or\ndoes not comply with Adobe PDF format.";
inline constexpr const char* invalid_page_range = "Invalid page range";
inline constexpr const char* dest_is_source = "The destination file cannot be the source document.";
inline constexpr const char* settings_key_path = "Software\\Corvane\\Lumetra";
// Settings value names; "src" and "dest" are the toolkit's key names above.
inline constexpr const char* value_open_on_exit = "open on exit";
// Also the profile's keys for the page range and the password.
inline constexpr const char* value_pages = "pages";
inline constexpr const char* value_password = "password";
// The console build of the error report.
inline constexpr const char* report_internal_error = "Internal error: ";
inline constexpr const char* report_error_head = "Error:";

// ---- Console program ------------------------------------------------------
inline constexpr const char* option_src = "--src=";
inline constexpr const char* option_dest = "--dest=";
inline constexpr const char* option_pages = "--pages=";
inline constexpr const char* option_pswd = "--pswd=";
// Formatted with the major and minor version; fatal_exit adds the final newline.
inline constexpr const char* console_usage =
    "QLTAGENT v%d.%d\n"
    "Usage: QLTAGENT.EXE OPTIONS\n"
    "\n"
    "   --src=...   path to the source PDF document\n"
    "   --dest=...  path to the destination ASCII text file\n"
    "   --pages=... page numbers and/or pages ranges separated by commas.\n"
    "               For example: 1,3,5-10\n"
    "   --pswd=...  password for the source PDF document (if any)\n";
inline constexpr const char* console_no_source = "You should specify source file";
inline constexpr const char* console_source_missing =
    "Source file does not exist.\nPlease verify the correct file name was given.";
inline constexpr const char* console_dest_read_only = "Destination name specifies an existing read-only file.";
inline constexpr const char* console_dest_path_missing =
    "Destination path does not exist.\nPlease verify the correct path was given.";

// ---- Wizard framework -----------------------------------------------------

// ---- Wizard pages ---------------------------------------------------------

} // namespace msg
