#include "pdf_conversion_document.h"

#include "message_table.h"
#include "pdf_page_tree.h"
#include "tk_exception.h"
#include "tk_log.h"

pdf_conversion_document::pdf_conversion_document(const std::string& file, const std::optional<std::string>& password,
                                                 const std::vector<std::uint32_t>& page_list)
    : file_name(file), password(password), checked_pages(page_list),
      source(std::make_unique<pdf_source_file>(file))
{
    if (!source->is_open())
        return;
    open();
    const int opened_with = *rebuilds;
    // The library gives no page past its count, so a tree that holds more would lose pages
    // behind a success.
    if (checked_pages.empty()) {
        if (pdf_page_tree_holds_more_than_count(*document))
            throw tk_exception(msg::pdf_unreadable, 1);
    } else {
        check_page_list();
    }
    // The walk read the tree before any page was converted: in another order than the
    // library's tool reads it. Where that made the library rebuild its cross-reference
    // table, the objects that a conversion reads after the rebuild may not be those it
    // reads before, so the conversion reads a document that only it reads.
    if (*rebuilds != opened_with) {
        tk_log(1, "The checks rebuilt the cross-reference table: the document is read afresh");
        open();
    }
    rebuilds_when_walked = *rebuilds;
}

void pdf_conversion_document::open()
{
    document.reset();
    int* count = rebuilds.get();
    document = pdf_open_document(*source, password, [count] { ++*count; });
}

void pdf_conversion_document::check_page_list() const
{
    // Pages beyond the end are skipped, but a list of nothing but such pages would convert
    // nothing and call it a success.
    const auto page_count = static_cast<std::uint32_t>(document->getNumPages());
    for (const std::uint32_t page : checked_pages)
        if (page <= page_count)
            return;
    tk_log(1, "No listed page is in the document's %u pages", page_count);
    throw tk_exception(msg::invalid_page_range, 1);
}

void pdf_conversion_document::check_after_conversion() const
{
    // Rebuilt while the pages were converted: the rest of the tree is read on the new table.
    if (checked_pages.empty() && *rebuilds != rebuilds_when_walked &&
        pdf_page_tree_holds_more_than_count(*document)) {
        tk_log(1, "On the rebuilt table the page tree holds more pages than the count");
        throw tk_exception(msg::pdf_unreadable, 1);
    }
    if (source_changed()) {
        tk_log(1, "The source was written while it was converted");
        throw tk_exception(msg::pdf_unreadable, 1);
    }
}
