#pragma once
// A document opened for one conversion, whose pages to convert the library has made
// before anything is written: a document that would lose pages, or a list that names
// none of its pages, is refused while the destination is still as it was.
#include "pdf_library.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class pdf_conversion_document {
public:
    // Opens `file` as pdf_open_document does, then asks the library for each page the run
    // will convert: every page for an empty `page_list`, else the listed pages within the
    // document. A page the library can't make, or for the whole document a page tree that
    // holds more pages than the library counts, throws the unreadable-document tk_exception;
    // a list without a page of the document "Invalid page range". Where the checks made the
    // library rebuild the document's cross-reference table, the document is opened again
    // for the run, unread. A file that the library can't open at all is kept as a document
    // that is not valid, unchecked.
    pdf_conversion_document(const std::string& file, const std::optional<std::string>& password,
                            const std::vector<std::uint32_t>& page_list);

    PDFDoc& doc() { return *document; }
    bool is_ok() const { return document->isOk(); }
    const std::string& file() const { return file_name; }
    // Whether it was checked for the pages of `page_list`.
    bool checked_for(const std::vector<std::uint32_t>& page_list) const { return page_list == checked_pages; }

private:
    void open();
    void check_pages() const;

    std::string file_name;
    std::optional<std::string> password;
    std::vector<std::uint32_t> checked_pages;
    // The library's rebuilds of the cross-reference table, counted by its callback; on the
    // heap, so that the count moves with the document and outlives it.
    std::unique_ptr<int> rebuilds = std::make_unique<int>(0);
    std::unique_ptr<PDFDoc> document;
};
