#pragma once
// The engine's binding to the PDF library: its global settings object, opening a document
// with the system's failures, the text output device, and the display of one page.
#include "pdf_source_file.h"

#include <PDFDoc.h>
#include <TextOutputDev.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// The text settings in force for a conversion: the library's defaults of the original
// platform, changed only by the optional configuration file.
struct pdf_text_settings {
    std::string encoding = "Latin1";
    EndOfLineKind end_of_line = eolDOS;
    bool page_breaks = true;
};

// Applies the text settings that a configuration file's text holds ("textEncoding",
// "textEOL" unix/dos/mac, "textPageBreaks" yes/no) over `settings`; other and malformed
// lines are ignored.
void pdf_apply_config_text(const std::string& text, pdf_text_settings& settings);

// The settings of the first configuration file that can be read: `home`/.xpdfrc, then
// `system_file`; without either, the defaults. `home` may be null.
pdf_text_settings pdf_load_text_settings(const char* home, const std::string& system_file = "/etc/xpdfrc");

// Owns the library's global settings object for its lifetime and installs it as the
// library's global settings; the library's own messages are silenced.
class pdf_library {
public:
    pdf_library();
    ~pdf_library();
    pdf_library(const pdf_library&) = delete;
    pdf_library& operator=(const pdf_library&) = delete;

    const pdf_text_settings& text_settings() const { return settings; }

private:
    pdf_text_settings settings;
};

// Opens `file` with `password` as owner and user password (none: the library's default);
// of a longer password the first 127 bytes are given, all that the standard keeps of it.
// A damaged or unreadable document (a page tree that fails the checks made at opening
// included: pdf_page_tree_opens), one encrypted by another than the standard handler, or
// one whose encryption the library can't undo, throws the unreadable-document tk_exception;
// a wrong password pdf_wrong_pswd_exception.
// No page is built. A file that can't be opened at all gives a document that is not
// valid (isOk() false). `on_rebuild` is called each time the library rebuilds the
// document's cross-reference table, while opening it or later.
std::unique_ptr<PDFDoc> pdf_open_document(const std::string& file, const std::optional<std::string>& password,
                                          const std::function<void()>& on_rebuild = {});

// The same, for the document in `source`, which must be open: every reading of the
// document goes through that open file, which must outlive the document.
std::unique_ptr<PDFDoc> pdf_open_document(pdf_source_file& source, const std::optional<std::string>& password,
                                          const std::function<void()>& on_rebuild = {});

// The password for the front ends' test-open: none at all when the text is empty (the run
// itself passes the empty text, so that the empty password is tried).
inline std::optional<std::string> pdf_password_or_none(const std::string& password)
{
    return password.empty() ? std::nullopt : std::optional<std::string>(password);
}

// The text output device of one run, in physical layout. The pages' text is staged in a
// file that nobody else sees and that a crash leaves nowhere (plat::open_staging_file),
// and reaches the destination only when copy_into_destination is called: a run that
// fails before leaves the destination as it was. The destination is then opened once,
// created or emptied, and written through that open file, so that a pipe's reader sees
// one end of the text. A failed write (a full disk, say) is reported instead of lost.
class pdf_text_output {
public:
    // A staging file that can't be made, beside `dest` or in the temporary folder, is a
    // level-1 tk_exception_ex with the system's text.
    pdf_text_output(const std::string& dest, const pdf_text_settings& settings);
    ~pdf_text_output();
    pdf_text_output(const pdf_text_output&) = delete;
    pdf_text_output& operator=(const pdf_text_output&) = delete;

    TextOutputDev& device() { return *text_device; }
    // A write that failed so far: a level-1 tk_exception_ex with the system's text.
    void check() const;
    // Ends the device and copies the staged text into the destination. A failed write so
    // far, a destination that can't be opened, or a failed write or close of it throws as
    // check() does.
    void copy_into_destination();

private:
    static void write(void* self, const char* text, int length);

    std::string dest;
    std::FILE* staged = nullptr;
    std::unique_ptr<TextOutputDev> text_device;
    int write_error = 0;
};

// Writes one page's text into `out`: 72 dpi, no extra rotation, the crop box. The page
// ends early, between library steps, when the calling thread was asked to stop. A page
// that the library counts but can't reach throws the unreadable-document tk_exception; a
// failed write throws as pdf_text_output::check().
void pdf_display_page(PDFDoc& doc, pdf_text_output& out, int page);
