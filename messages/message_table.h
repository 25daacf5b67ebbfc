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

// ---- Wizard framework -----------------------------------------------------

// ---- Wizard pages ---------------------------------------------------------

} // namespace msg
