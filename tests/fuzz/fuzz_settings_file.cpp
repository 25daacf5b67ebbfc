// Fuzzes the settings store's file parser: any bytes parse, and what they parse to
// survives being written out and read back unchanged (the store rewrites the file on
// every store, so a value that changed there would be lost or corrupted).
#include "fuzz_support.h"
#include "plat_registry_format.h"

namespace {

bool same_lines(const plat::reg_file_contents& a, const plat::reg_file_contents& b)
{
    if (a.lines.size() != b.lines.size())
        return false;
    for (std::size_t i = 0; i < a.lines.size(); ++i) {
        const plat::reg_line& x = a.lines[i];
        const plat::reg_line& y = b.lines[i];
        if (x.is_value != y.is_value || x.text != y.text || x.value.name != y.value.name ||
            x.value.type != y.value.type || x.value.data != y.value.data)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* const key = "Software\\Corvane\\Lumetra";
    const plat::reg_file_contents first = plat::parse_registry_file(fuzz_support::as_text(data, size));
    const std::string written = plat::format_registry_file(key, first);
    const plat::reg_file_contents second = plat::parse_registry_file(written);
    if (!same_lines(first, second))
        std::abort();
    if (plat::format_registry_file(key, second) != written)
        std::abort();
    return 0;
}
