#include "front_end.h"
#include "message_table.h"
#include "pdf_conversion_document.h"
#include "plat_error.h"
#include "plat_file_identity.h"
#include "plat_write_access.h"
#include "quillet_convertor.h"
#include "tk_error_handler.h"
#include "tk_log.h"
#include "tk_thread.h"

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
    // Writing the destination must not destroy the document it is made from.
    if (plat::same_file(src, dest))
        throw tk_exception(msg::dest_is_source, 1);
    // Every refusal that can be known before a page is converted comes first: those of the
    // document and the page list, then a destination that could not be written.
    pdf_conversion_document document = take_or_open_document();
    if (!document.is_ok())
        throw tk_exception(msg::pdf_unreadable, 1);
    if (const int error = plat::open_for_writing_error(dest); error != 0) {
        plat::set_last_error(error);
        throw tk_exception_ex();
    }
    PDFDoc& doc = document.doc();
    const int page_count = doc.getNumPages();
    const std::uint32_t total = page_list.empty() ? static_cast<std::uint32_t>(page_count)
                                                  : static_cast<std::uint32_t>(page_list.size());

    // The pages' text is staged, and reaches the destination only once the run has kept it.
    pdf_text_output out(dest, library->text_settings());
    pages_total = total;
    tk_log(1, "Document has %d pages", static_cast<int>(total));
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
            pdf_display_page(doc, out, static_cast<int>(page));
        pages_done.fetch_add(1, std::memory_order_relaxed);
    }
    if (tk_stop_requested_on_this_thread()) {
        // A stopped run keeps the pages converted before the stop, unless they may not be
        // those of the document that was opened.
        if (!document.source_changed())
            out.copy_into_destination();
        return;
    }
    document.check_after_conversion();
    out.copy_into_destination();
}

pdf_conversion_document quillet_convertor::take_or_open_document()
{
    std::optional<pdf_conversion_document> doc = std::move(handed_document);
    handed_document.reset();
    if (doc && doc->file() == src && doc->checked_for(page_list))
        return std::move(*doc);
    return pdf_conversion_document(src, password, page_list);
}
