// Fuzzes opening and converting a document through the library binding, as the run
// does it, and the check of its page tree: any bytes as the source either convert or end
// in one of the system's exceptions, never in a crash or a hang.
#include "fuzz_support.h"
#include "pdf_page_tree.h"
#include "quillet_convertor.h"
#include "tk_exception.h"

#include <fstream>

namespace {

quillet_convertor& converter()
{
    // Lives until the process ends; its settings go to the private home.
    static quillet_convertor* const instance = [] {
        fuzz_support::private_home();
        auto* made = new quillet_convertor;
        made->src = fuzz_support::scratch_file("source.pdf");
        made->dest = fuzz_support::scratch_file("source.txt");
        made->password.clear();
        // A few pages are enough; a page tree of millions would only make runs slow.
        made->set_page_range("1-8");
        return made;
    }();
    return *instance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    quillet_convertor& run = converter();
    std::ofstream(run.src, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    run.pages_done = 0;
    run.pages_total = 0;
    try {
        run.convert_document();
    } catch (const tk_exception& e) {
        if (e.level != 1)
            std::abort(); // the library's failures are errors, not internal ones
    }
    if (run.pages_done > run.pages_total)
        std::abort();
    // The check of a whole-document run walks the page tree the bytes describe, whatever
    // its shape: it ends, on the walk's own stack.
    try {
        const auto doc = pdf_open_document(run.src, std::nullopt);
        if (doc->isOk())
            pdf_page_tree_holds_more_than_count(*doc);
    } catch (const tk_exception& e) {
        if (e.level != 1)
            std::abort();
    }
    return 0;
}
