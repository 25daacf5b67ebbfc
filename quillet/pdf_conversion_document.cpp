#include "pdf_conversion_document.h"

#include "message_table.h"
#include "pdf_page_tree.h"
#include "tk_exception.h"
#include "tk_log.h"

pdf_conversion_document::pdf_conversion_document(const std::string& file, const std::optional<std::string>& password,
                                                 const std::vector<std::uint32_t>& page_list)
    : file_name(file), password(password), checked_pages(page_list)
{
    open();
    if (!is_ok())
        return;
    const int opened_with = *rebuilds;
    // The library gives no page past its count, so a tree that holds more would lose pages
    // behind a success. The walk comes first: its memory is gone before the library builds
    // the pages, whose tree it may hold as deep as it is.
    if (checked_pages.empty() && pdf_page_tree_holds_more_than_count(*document))
        throw tk_exception(msg::pdf_unreadable, 1);
    check_pages();
    // The checks asked for pages, and walked the tree, before any page was converted: in
    // another order than a conversion reads them. Where that made the library rebuild its
    // cross-reference table, the objects that a conversion reads after the rebuild may not
    // be those it reads before, so the run converts a document that only the conversion
    // reads, page by page as the library's own tools do.
    if (*rebuilds != opened_with) {
        tk_log(1, "The checks rebuilt the cross-reference table: the document is opened again");
        open();
    }
}

void pdf_conversion_document::open()
{
    document.reset();
    int* count = rebuilds.get();
    document = pdf_open_document(file_name, password, [count] { ++*count; });
}

void pdf_conversion_document::check_pages() const
{
    const int page_count = document->getNumPages();
    const auto can_make = [this](int page) {
        if (document->getPage(page) != nullptr)
            return true;
        tk_log(1, "The library can't make page %d of %d", page, document->getNumPages());
        return false;
    };
    if (checked_pages.empty()) {
        for (int page = 1; page <= page_count; ++page) {
            if (!can_make(page))
                throw tk_exception(msg::pdf_unreadable, 1);
        }
        return;
    }
    bool any_in_document = false;
    for (const std::uint32_t page : checked_pages) {
        if (page > static_cast<std::uint32_t>(page_count))
            continue;
        any_in_document = true;
        if (!can_make(static_cast<int>(page)))
            throw tk_exception(msg::pdf_unreadable, 1);
    }
    // Pages beyond the end are skipped, but a list of nothing but such pages would convert
    // nothing and call it a success.
    if (!any_in_document) {
        tk_log(1, "No listed page is in the document's %d pages", page_count);
        throw tk_exception(msg::invalid_page_range, 1);
    }
}
