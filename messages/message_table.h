#pragma once
// The program's table of the texts the user sees and of the settings names.
// Both programs use this one table; each subsystem keeps its entries in its own block.

namespace msg {

// ---- Product: both programs ------------------------------------------------
inline constexpr const char* product_name = "Lumetra";
inline constexpr int product_major = 3;
inline constexpr int product_minor = 3;

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
inline constexpr const char* bug_report_subject = "Bug report on ";
inline constexpr const char* caption_error = "Error";
inline constexpr const char* caption_message = "Message";
inline constexpr const char* caption_question = "Question";
inline constexpr const char* caption_error_suffix = " Error";
inline constexpr const char* caption_message_suffix = " Message";
inline constexpr const char* caption_question_suffix = " Question";
inline constexpr const char* help_file_missing = "Help file does not exist. Reinstall the program.";
inline constexpr const char* help_file_ext = ".chm";
inline constexpr const char* exit_question = "Are you sure you want to exit the wizard?";
inline constexpr const char* welcome_title = "Welcome to the Lumetra\nConversion Wizard\n";
inline constexpr const char* welcome_line1 = "This wizard helps you convert Adobe PDF document into";
inline constexpr const char* welcome_line2 = "plain text format. Click 'Next' to continue.";
inline constexpr const char* welcome_closing = "To close this wizard, click Cancel.";
inline constexpr const char* title_font_face = "Segoe UI";
inline constexpr const char* dialog_font_face = "MS Shell Dlg";
inline constexpr const char* send_bug_button = "Send bug";
inline constexpr const char* ok_button = "OK";
inline constexpr const char* copy_to_clipboard_button = "Copy to clipboard";
inline constexpr const char* continue_button = "Continue";
inline constexpr const char* abort_button = "Abort";
inline constexpr const char* dont_show_again = "&Do not show this dialog box again";

// ---- Wizard pages ---------------------------------------------------------
// Program entry
inline constexpr const char* common_controls_too_old =
    "Incorrect version of comctl32.dll. Microsoft Internet Explorer 5\nor later is required to proceed with the application.";
inline constexpr const char* common_controls_init_failed = "Failed to initialize GUI library";

// Select-files page
inline constexpr const char* sel_header_title = "Step 1 of 2";
inline constexpr const char* sel_header_subtitle = "Select files";
inline constexpr const char* sel_intro = "Enter source and destination file names. Specify the page range.";
inline constexpr const char* sel_pdf_label = "&PDF file:";
inline constexpr const char* sel_browse = "Browse...";
inline constexpr const char* sel_use_password = "&Use password:";
inline constexpr const char* sel_text_label = "&Text file:";
inline constexpr const char* sel_range_group = " Page range to convert: ";
inline constexpr const char* sel_all_pages = "&All";
inline constexpr const char* sel_some_pages = "&Pages:";
inline constexpr const char* sel_range_hint = "Enter page numbers and/or pages ranges separated by commas.";
inline constexpr const char* sel_range_example = "For example: 1,3,5-10";
inline constexpr const char* pdf_filter_name = "PDF Files (.pdf)";
inline constexpr const char* pdf_filter_pattern = "*.pdf";
inline constexpr const char* text_filter_name = "Text Files (.txt)";
inline constexpr const char* text_filter_pattern = "*.txt";
inline constexpr const char* all_filter_name = "All Files (*.*)";
inline constexpr const char* all_filter_pattern = "*.*";
inline constexpr const char* select_source_title = "Select PDF document to convert";
inline constexpr const char* select_dest_title = "Select the destination file";
inline constexpr const char* enter_source = "You should enter source file name";
inline constexpr const char* enter_dest = "You should enter destination file name";
inline constexpr const char* source_missing =
    "Source file does not exist.\r\nPlease verify the correct file name was given.";
inline constexpr const char* dest_read_only = "Destination name specifies an existing read-only file.";
inline constexpr const char* dest_overwrite = "Destination file already exists. Overwrite?";
inline constexpr const char* dest_not_a_file =
    "Destination name specifies an existing device, pipe or socket, not a file.\r\nPlease verify the correct file "
    "name was given.";
inline constexpr const char* dest_path_missing =
    "Destination path does not exist.\r\nPlease verify the correct path was given.";

// Progress page
inline constexpr const char* progress_header_title = "Step 2 of 2";
inline constexpr const char* progress_header_subtitle = "Document converting is in progress";
inline constexpr const char* progress_line1 =
    "Document converting is in progress. Please wait until the wizard completes";
inline constexpr const char* progress_line2 = "converting your PDF document into plain text format.";
inline constexpr const char* progress_bar_text = "Progress1";
inline constexpr const char* progress_status = "Processing page %ld of %ld";

// Finish page
inline constexpr const char* finish_title = "Conversion is Completed";
inline constexpr const char* finish_open_on_exit = "&Open on exit";
inline constexpr const char* finish_save_settings = "&Save Settings...";
inline constexpr const char* profile_filter = "Profile Files (.%s)|*.%s|All Files (*.*)|*.*|";
inline constexpr const char* profile_dialog_title = "Select Profile File";
// Followed by the profile's name and the system's reason, each on a line of its own.
inline constexpr const char* profile_not_saved = "The settings could not be saved in the profile file";
inline constexpr const char* finish_success =
    "Wizard has converted your PDF document into\nplain text format successfully.\n\nClick 'Finish' to exit the wizard.";
inline constexpr const char* finish_hint =
    "Select the checkbox below to open the resulting file\nwith the default text viewer installed on your system.";
inline constexpr const char* finish_errors =
    "There were some errors while converting the document.\nClick 'Finish' to exit the wizard.";

} // namespace msg
