#include "front_end.h"
#include "message_table.h"
#include "pdf_page_tree.h"
#include "plat_file_identity.h"
#include "quillet_convertor.h"
#include "tk_error_handler.h"
#include "tk_log.h"
#include "tk_thread.h"

#include <algorithm>
#include <cstdio>

void quillet_convertor::operator()()
{
    tk_log(2, "quillet_convertor::operator()");
    init_conversion guard(&finished, 1);
    tk_log(3, "src = [%s]\ndest = [%s]", src.c_str(), dest.c_str());
    try {
        convert_document();
    } catch (const tk_final_exception&) {
        // reported already
    } catch (const tk_exception& e) {
        error_handler::instance()->handle(e, true);
    } catch (const std::exception& e) {
        report_run_failure(e);
    }
}

void quillet_convertor::convert_document()
{
    // Emptying the destination must not destroy the document it is made from.
    if (plat::same_file(src, dest))
        throw tk_exception(msg::dest_is_source, 1);
    // The destination exists and is empty before the document is opened.
    std::FILE* created = std::fopen(dest.c_str(), "wb+");
    if (created == nullptr)
        throw tk_mail_assertion(qlt_conv::source, 97);
    std::fclose(created);

    const std::unique_ptr<PDFDoc> doc = take_or_open_document();
    if (!doc->isOk())
        throw tk_exception(msg::pdf_unreadable, 1);
    const int page_count = doc->getNumPages();
    check_pages_to_convert(*doc, page_count);
    const std::uint32_t total = page_list.empty() ? static_cast<std::uint32_t>(page_count)
                                                  : static_cast<std::uint32_t>(page_list.size());
    pages_total = total;
    tk_log(1, "Document has %d pages", static_cast<int>(total));

    pdf_text_output out(dest, library->text_settings());
    // A stop request (the wizard closing) ends the loop between pages, and the library's
    // display between its steps; a stopped run reports nothing.
    for (std::uint32_t step = pages_done; step < total; step = pages_done) {
        if (before_page_for_tests)
            before_page_for_tests(step);
        if (tk_stop_requested_on_this_thread())
            break;
        const std::uint32_t page = page_list.empty() ? step + 1 : page_list[step];
        if (page > static_cast<std::uint32_t>(page_count))
            tk_log(1, "Page is our of range %d > %d", static_cast<int>(page), page_count);
        else
            pdf_display_page(*doc, out, static_cast<int>(page));
        pages_done.fetch_add(1, std::memory_order_relaxed);
    }
    out.close();
}

std::unique_ptr<PDFDoc> quillet_convertor::take_or_open_document()
{
    std::unique_ptr<PDFDoc> doc = std::move(handed_document);
    if (doc != nullptr && doc->getFileName() != nullptr && doc->getFileName()->toStr() == src)
        return doc;
    return pdf_open_document(src, password);
}

void quillet_convertor::check_pages_to_convert(PDFDoc& doc, int page_count) const
{
    // The whole document: the library converts no page past its own count, so a tree that
    // holds more would lose pages behind a success.
    if (page_list.empty()) {
        if (!pdf_page_tree_matches_count(doc))
            throw tk_exception(msg::pdf_unreadable, 1);
        return;
    }
    // Pages beyond the end are skipped, but a list of nothing but such pages would convert
    // nothing and call it a success.
    const auto in_document = [page_count](std::uint32_t page) {
        return page <= static_cast<std::uint32_t>(page_count);
    };
    if (std::none_of(page_list.begin(), page_list.end(), in_document)) {
        tk_log(1, "No listed page is in the document's %d pages", page_count);
        throw tk_exception(msg::invalid_page_range, 1);
    }
}
