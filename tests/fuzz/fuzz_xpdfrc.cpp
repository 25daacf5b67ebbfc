// Fuzzes the reader of the library's configuration file: any text as the user's
// ".xpdfrc", read the way the converter reads it when it sets up the library, leaves
// valid text settings in force.
#include "fuzz_support.h"
#include "pdf_library.h"

#include <GlobalParams.h>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = fuzz_support::as_text(data, size);
    pdf_text_settings parsed;
    pdf_apply_config_text(text, parsed);

    std::ofstream(fuzz_support::scratch_file(".xpdfrc"), std::ios::binary | std::ios::trunc) << text;
    const pdf_library library;
    const pdf_text_settings& used = library.text_settings();
    if (used.end_of_line != eolUnix && used.end_of_line != eolDOS && used.end_of_line != eolMac)
        std::abort();
    // The library must know the encoding in force, or it would write no text at all.
    if (globalParams->getTextEncoding() == nullptr)
        std::abort();
    if (used.end_of_line != parsed.end_of_line || used.page_breaks != parsed.page_breaks)
        std::abort();
    return 0;
}
