#include "quillet_convertor.h"

#include "message_table.h"
#include "page_range.h"
#include "tk_log.h"

#include <algorithm>

quillet_convertor::quillet_convertor() : tk_serializer(msg::settings_key_path)
{
    serialize(false);
    library.emplace();
}

quillet_convertor::~quillet_convertor()
{
    serialize(true);
    // A document is closed while the library's global settings still exist.
    handed_document.reset();
    library.reset();
}

bool quillet_convertor::serialize(bool store)
{
    tk_log(1, "serialize( %d )", store ? 1 : 0);
    if (key.create(plat::HKEY_CURRENT_USER, key_path.c_str(), nullptr, 0, plat::KEY_ALL_ACCESS, nullptr, nullptr) != 0)
        return false;
    if (!store)
        open_on_exit = true;
    // All five are attempted, also after a failure.
    bool ok = serialize_bool(msg::value_open_on_exit, open_on_exit, store);
    ok = serialize_string(msg::key_src, src, store) && ok;
    ok = serialize_string(msg::key_dest, dest, store) && ok;
    ok = serialize_string(msg::value_pages, pages, store) && ok;
    ok = serialize_string(msg::value_password, password, store) && ok;
    // The values written reach the file when the key is closed; a store that fails there
    // fails the pass.
    return key.close() == plat::ERROR_SUCCESS && ok;
}

double quillet_convertor::get_progress() const
{
    tk_log(1, "quillet_convertor::get_progress");
    if (finished.load(std::memory_order_acquire))
        return 100.0;
    const std::uint64_t total = pages_total.load(std::memory_order_relaxed);
    const std::uint64_t done = pages_done.load(std::memory_order_relaxed);
    if (total == 0)
        return 0.0;
    // Whole percent; 64 bits so that no page count can overflow the product. 100 only
    // once the run has ended: the wizard moves to its finish page at 100, and after the
    // last page the run still checks the document and writes the destination, which may
    // fail and be reported.
    return static_cast<double>(std::min<std::uint64_t>(done * 100 / total, 99));
}

void quillet_convertor::set_page_range(const std::string& text)
{
    tk_log(1, "quillet_convertor::set_page_range(%s)", text.c_str());
    page_list.clear();
    pages = text;
    parse_page_range(text, page_list);
}
