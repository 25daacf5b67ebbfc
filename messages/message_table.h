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

// ---- Console program ------------------------------------------------------

// ---- Wizard framework -----------------------------------------------------

// ---- Wizard pages ---------------------------------------------------------

} // namespace msg
