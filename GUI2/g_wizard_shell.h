#pragma once
// wizard_shell: the wizard's property sheet and the process's one shell. It holds the
// window title and icon, the two wizard bitmaps, the progress timer and the error messages
// collected during a conversion, and shows the program's short messages and its help.
#include "plat_property_sheet.h"
#include "plat_resources.h"
#include "plat_window.h"
#include "tk_singleton.h"

#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <string>
#include <vector>

class wizard_shell : public tk_singleton<wizard_shell>, public plat::message_map {
public:
    // The progress timer's id, also the wParam of the tick forwarded to the current page.
    static constexpr plat::wparam timer_id = 0x10000;

    // 0 for an identifier means none.
    wizard_shell(const std::string& title, int icon_id, int watermark_id, int header_id);
    ~wizard_shell() override;

    void set_bitmaps(int watermark_id, int header_id);
    // Gives the sheet window its title, icon and position, the first time only.
    void init_window();
    // True when a shell exists and its window has been initialised.
    static bool is_initialized();

    // Sets the progress timer (on any thread); a second start without a stop between is an
    // internal error.
    void start_timer(unsigned period_ms);
    void stop_timer();
    void enable_button(int id, bool enable);

    // Appends a page to the sheet before the modal run.
    void add_page(plat::prop_sheet_page& page);
    // Runs the sheet modally: 1 after Finish, 0 after Cancel, -1 when it can't be made.
    int do_modal(plat::hwnd parent = nullptr);

    bool ProcessWindowMessage(plat::hwnd window, unsigned msg, plat::wparam w, plat::lparam l,
                              plat::lresult& result, unsigned map_id) override;

    // The short messages and the help: callable on any thread, with or without a shell.
    static void error(std::string text);
    static void message(std::string text);
    static bool question(std::string text, unsigned flags);
    static void display_help(int topic);
    static void display_help();
    // A box's caption: the shell's title followed by `suffix` while the shell is initialised,
    // `bare_word` before and after that.
    static std::string caption(const char* bare_word, const char* suffix);

    // What becomes of a failure raised inside a handler of the window system (a click, a
    // notification, a tick): it is shown in the error box, as the pages show the failures
    // they catch, and goes no further. The shell installs it when it is made.
    static void report_event_failure(std::exception_ptr failure);

    // The error list of the run: appended on the worker, read on the user-interface thread.
    // add_error appends only while the list holds fewer than `limit` entries.
    bool add_error(const std::string& text, std::size_t limit);
    std::vector<std::string> error_list() const;
    std::size_t error_count() const;

    // The sheet window; null before the modal run has made it and after it has ended.
    plat::hwnd window() const;
    const std::string& get_title() const { return title; }

    plat::prop_sheet_header header;
    int icon_id;
    std::string title;
    std::atomic<bool> timer_running{false};
    std::atomic<bool> initialized{false};
    plat::hbitmap watermark = nullptr;
    plat::hbitmap header_bitmap = nullptr;

private:
    void on_sheet_created(plat::hwnd sheet_window);

    std::atomic<plat::hwnd> sheet{nullptr};
    mutable std::mutex errors_lock;
    std::vector<std::string> errors;
};
