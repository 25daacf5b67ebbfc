// Fuzzes opening and converting a document through the library binding, as the run
// does it, and the check of its page tree: any bytes as the source, with any password,
// either convert or end in one of the system's exceptions, never in a crash or a hang.
//
// The input is the document, optionally followed by the password after the last
// password_marker: one byte that says how many times the rest is repeated (0: the empty
// password), then the rest; so a short input gives passwords far longer than itself.
// Without the marker the document is opened without a password.
#include "fuzz_support.h"
#include "pdf_page_tree.h"
#include "quillet_convertor.h"
#include "tk_exception.h"

#include <fstream>
#include <optional>
#include <string_view>

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

constexpr std::string_view password_marker = "\n%%password:";
// A password this long is no different to the library from a shorter one; longer ones
// would only make runs slow.
constexpr std::size_t password_max_size = 1 << 20;

struct document_and_password {
    std::string_view document;
    std::optional<std::string> password;
};

document_and_password split_input(std::string_view input)
{
    const std::size_t marker = input.rfind(password_marker);
    if (marker == std::string_view::npos || marker + password_marker.size() == input.size())
        return {input, std::nullopt};
    const std::size_t repeat_at = marker + password_marker.size();
    const auto repeats = static_cast<unsigned char>(input[repeat_at]);
    const std::string_view part = input.substr(repeat_at + 1);
    std::string password;
    for (unsigned i = 0; i < repeats && password.size() < password_max_size; ++i)
        password += part;
    return {input.substr(0, marker), password.substr(0, password_max_size)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    quillet_convertor& run = converter();
    const auto [document, password] = split_input(std::string_view(reinterpret_cast<const char*>(data), size));
    std::ofstream(run.src, std::ios::binary | std::ios::trunc)
        .write(document.data(), static_cast<std::streamsize>(document.size()));
    run.password = password.value_or("");
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
        const auto doc = pdf_open_document(run.src, password);
        if (doc->isOk())
            pdf_page_tree_holds_more_than_count(*doc);
    } catch (const tk_exception& e) {
        if (e.level != 1)
            std::abort();
    }
    return 0;
}
