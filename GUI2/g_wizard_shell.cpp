#include "g_wizard_shell.h"

#include "plat_gui_constants.h"
#include "plat_timer.h"
#include "plat_ui_thread.h"
#include "tk_exception.h"
#include "tk_log.h"
#include "tk_thread.h"

#include <cstdint>
#include <exception>

namespace g_wiz_sh {
inline constexpr const char* source = "g_wiz_sh";
} // namespace g_wiz_sh

wizard_shell::wizard_shell(const std::string& title_, int icon_id_, int watermark_id, int header_id)
    : icon_id(icon_id_), title(title_)
{
    header.flags = plat::PSH_USECALLBACK;
    header.start_page = 0;
    header.parent = nullptr;
    header.callback = [this](plat::hwnd window, int message) {
        if (message == plat::PSCB_INITIALIZED)
            on_sheet_created(window);
    };
    tk_log(1, "wizard_shell::ctor(%s)", title.c_str());
    set_bitmaps(watermark_id, header_id);
    plat::set_dispatch_failure_handler(&wizard_shell::report_event_failure);
}

wizard_shell::~wizard_shell()
{
    tk_log(1, "wizard_shell::dtor");
    initialized = false;
    plat::hwnd window_ = sheet.load();
    if (timer_running.exchange(false))
        plat::kill_timer(window_, timer_id);
    if (plat::is_window(window_))
        plat::destroy_window(window_);
    sheet = nullptr;
    {
        std::lock_guard<std::mutex> guard(errors_lock);
        errors.clear();
    }
    if (header_bitmap != nullptr && plat::delete_object(header_bitmap))
        header_bitmap = nullptr;
    if (watermark != nullptr && plat::delete_object(watermark))
        watermark = nullptr;
    header.pages.clear();
}

void wizard_shell::set_bitmaps(int watermark_id, int header_id)
{
    if (watermark_id != 0) {
        watermark = plat::load_bitmap(watermark_id & 0xFFFF);
        header.watermark = watermark;
        header.flags |= plat::PSH_WIZARD97 | plat::PSH_WATERMARK | plat::PSH_USEHBMWATERMARK;
    }
    if (header_id != 0) {
        header_bitmap = plat::load_bitmap(header_id & 0xFFFF);
        header.header = header_bitmap;
        header.flags |= plat::PSH_WIZARD97 | plat::PSH_HEADER | plat::PSH_USEHBMHEADER;
    }
    header.flags |= plat::PSH_STRETCHWATERMARK | plat::PSH_HASHELP | plat::PSH_WIZARD;
}

void wizard_shell::on_sheet_created(plat::hwnd sheet_window)
{
    sheet = sheet_window;
    plat::attach_message_map(sheet_window, this);
}

void wizard_shell::init_window()
{
    if (initialized)
        return;
    plat::hwnd window_ = sheet.load();
    plat::set_window_text(window_, title);
    if (icon_id != 0) {
        const int size = plat::large_icon_size();
        plat::hicon icon = plat::load_icon(icon_id & 0xFFFF, size, size);
        plat::send_message(window_, plat::WM_SETICON, plat::ICON_BIG, reinterpret_cast<plat::lparam>(icon));
        // The window keeps its own copy of the icon.
        plat::delete_object(icon);
    }
    plat::center_window(window_, plat::get_parent(window_));
    initialized = true;
}

bool wizard_shell::is_initialized()
{
    tk_log(1, "wizard_shell::is_initialized");
    if (has_instance()) {
        tk_log(1, "Singleton has been initialized");
        return get_instance()->initialized;
    }
    tk_log(1, "Before return false");
    return false;
}

void wizard_shell::start_timer(unsigned period_ms)
{
    if (timer_running)
        throw tk_mail_assertion(g_wiz_sh::source, 250);
    // The flag is set on the user-interface thread together with the timer, so that a tick
    // that stops the timer always finds it set.
    bool set = false;
    const bool ran = plat::run_on_ui_thread([&] {
        set = plat::set_timer(sheet.load(), timer_id, period_ms);
        if (set)
            timer_running = true;
    });
    if (!ran && tk_stop_requested_on_this_thread())
        return;
    if (!set)
        throw tk_mail_assertion(g_wiz_sh::source, 258);
}

void wizard_shell::stop_timer()
{
    if (timer_running.exchange(false))
        plat::kill_timer(sheet.load(), timer_id);
}

void wizard_shell::enable_button(int id, bool enable)
{
    plat::hwnd button = plat::get_dlg_item(sheet.load(), id);
    tk_log(2, "wizard_shell::enable_button(%08X)", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(button)));
    plat::enable_window(button, enable);
}

void wizard_shell::report_event_failure(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const tk_final_exception&) {
    } catch (const tk_exception& e) {
        error(e.what());
    } catch (const std::exception& e) {
        error(e.what());
    }
}

plat::hwnd wizard_shell::window() const
{
    plat::hwnd window_ = sheet.load();
    return plat::is_window(window_) ? window_ : nullptr;
}

void wizard_shell::add_page(plat::prop_sheet_page& page) { header.pages.push_back(&page); }

int wizard_shell::do_modal(plat::hwnd parent)
{
    header.flags &= ~plat::PSH_MODELESS;
    if (header.parent == nullptr)
        header.parent = parent;
    const int result = plat::property_sheet(header);
    header.pages.clear();
    return result;
}

bool wizard_shell::ProcessWindowMessage(plat::hwnd window_, unsigned msg, plat::wparam w, plat::lparam,
                                        plat::lresult& result, unsigned map_id)
{
    if (map_id != 0)
        return false;
    switch (msg) {
    case plat::WM_TIMER:
        if (w == timer_id) {
            auto page = reinterpret_cast<plat::hwnd>(plat::send_message(window_, plat::PSM_GETCURRENTPAGEHWND, 0, 0));
            plat::send_message(page, plat::WM_TIMER, timer_id, 0);
        }
        result = 0;
        return true;
    case plat::WM_HELP: {
        plat::nmhdr notification{window_, 0, plat::PSN_HELP};
        auto page = reinterpret_cast<plat::hwnd>(plat::send_message(window_, plat::PSM_GETCURRENTPAGEHWND, 0, 0));
        plat::send_message(page, plat::WM_NOTIFY, 0, reinterpret_cast<plat::lparam>(&notification));
        result = 1;
        return true;
    }
    default:
        return false;
    }
}

bool wizard_shell::add_error(const std::string& text, std::size_t limit)
{
    std::lock_guard<std::mutex> guard(errors_lock);
    if (errors.size() >= limit)
        return false;
    errors.push_back(text);
    return true;
}

std::vector<std::string> wizard_shell::error_list() const
{
    std::lock_guard<std::mutex> guard(errors_lock);
    return errors;
}

std::size_t wizard_shell::error_count() const
{
    std::lock_guard<std::mutex> guard(errors_lock);
    return errors.size();
}
