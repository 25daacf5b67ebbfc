#pragma once
// The one converter of the process: the settings of a conversion, kept in the user's
// settings store between runs, the PDF library's global settings for its lifetime, the
// conversion run itself and the progress counters that a front end polls.
#include "pdf_conversion_document.h"
#include "pdf_library.h"
#include "tk_converter.h"
#include "tk_profile.h"
#include "tk_reg_key.h"
#include "tk_singleton.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qlt_conv {
// The source name under which the engine's checks are reported.
inline constexpr const char* source = "qlt_conv";
} // namespace qlt_conv

class quillet_convertor : public tk_converter, public tk_singleton<quillet_convertor>, public tk_serializer {
public:
    // Loads the settings, then creates the library's global settings.
    quillet_convertor();
    // Stores the settings, then deletes the library's global settings.
    ~quillet_convertor() override;

    // The conversion run: every failure ends in its handlers; `finished` is set at the end.
    void operator()() override;

    // The steps of the run inside its handlers: the document's checks, the pages' text
    // staged page by page, the checks after the last page, the destination written. Every
    // failure leaves it as an exception, the library's objects already destroyed and the
    // destination as it was.
    void convert_document();

    // A document that a front end's check has opened from `src` with `password` and checked
    // for `page_list`: the run converts it instead of opening and checking the file again.
    // The run takes it; a run of another `src` or page list opens its own.
    void hand_over_document(pdf_conversion_document doc) { handed_document.emplace(std::move(doc)); }

    // Loads (false) or stores (true) the five settings; true when all five moved.
    bool serialize(bool store);

    // Percent done in whole steps; 100 once the run has ended.
    double get_progress() const;

    // Stores `text` and reads it into the page list; a bad item throws "Invalid page range".
    void set_page_range(const std::string& text);

    // Writes the settings to a profile file; false when it can't be written.
    bool store_profile(const std::string& path);
    bool fill_profile(tk_profile& profile);

    std::string pages;
    std::string password;
    bool open_on_exit = true;
    // Written by the run's thread, read by the wizard's user-interface thread.
    std::atomic<std::uint32_t> pages_done {0};
    std::atomic<std::uint32_t> pages_total {0};
    std::vector<std::uint32_t> page_list;

    // For tests only: called on the run's thread before each page with the pages done so
    // far, so that a test can hold the run at a page of its choosing whatever the machine's
    // speed. Empty in the programs. Set it before the run starts.
    std::function<void(std::uint32_t pages_done)> before_page_for_tests;

private:
    pdf_conversion_document take_or_open_document();

    std::optional<pdf_library> library;
    std::optional<pdf_conversion_document> handed_document;
};
