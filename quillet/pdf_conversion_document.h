#pragma once
// A document opened for one conversion, through one open file kept for as long as the
// document lives. What can be known without converting a page is checked when it is
// opened, so that a user learns it at once; the rest is judged on what the library gives
// as the conversion reads the document, page by page in the order of the library's own
// tool, and checked once more after the last page, before the destination is written.
#include "pdf_library.h"
#include "pdf_source_file.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class pdf_conversion_document {
public:
    // Opens `file` once and the document through it, as pdf_open_document does (password,
    // decryption, the page tree's root). For an empty `page_list` (the whole document) a
    // page tree that holds more pages than the library counts throws the unreadable-
    // document tk_exception; a list without a page of the document "Invalid page range".
    // Where these checks made the library rebuild the document's cross-reference table,
    // the conversion gets the document made afresh from the same open file, so that it
    // reads the objects in the order the library's tool does. A file that can't be opened
    // as a regular file for reading is kept as a document that is not valid.
    pdf_conversion_document(const std::string& file, const std::optional<std::string>& password,
                            const std::vector<std::uint32_t>& page_list);

    PDFDoc& doc() { return *document; }
    bool is_ok() const { return document != nullptr && document->isOk(); }
    const std::string& file() const { return file_name; }
    // Whether it was checked for the pages of `page_list`.
    bool checked_for(const std::vector<std::uint32_t>& page_list) const { return page_list == checked_pages; }

    // Whether another program has written the file since it was opened.
    bool source_changed() const { return source->changed(); }

    // After a conversion of the pages: the unreadable-document tk_exception when the
    // document can no longer be trusted to be what was converted. That is a source
    // changed since it was opened, or, for the whole document where the conversion made
    // the library rebuild its table, a page tree that holds more pages than the count on
    // the rebuilt table.
    void check_after_conversion() const;

private:
    void open();
    void check_page_list() const;

    std::string file_name;
    std::optional<std::string> password;
    std::vector<std::uint32_t> checked_pages;
    // The library's rebuilds of the cross-reference table, counted by its callback; on the
    // heap, so that the count moves with the document and outlives it.
    std::unique_ptr<int> rebuilds = std::make_unique<int>(0);
    // The count when the conversion began to read the document.
    int rebuilds_when_walked = 0;
    // Declared before the document, which reads it: destroyed after it.
    std::unique_ptr<pdf_source_file> source;
    std::unique_ptr<PDFDoc> document;
};
