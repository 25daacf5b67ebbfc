#include "plat_window.h"

#include "comctl_controls.h"
#include "plat_gui_constants.h"
#include "plat_ui_thread.h"
#include "plat_window_host.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <unordered_map>

namespace plat {

namespace {

// Our live windows. Read on any thread (a window handle may be asked about anywhere).
std::mutex windows_lock;
std::unordered_map<QWidget*, window_host*>& windows()
{
    static std::unordered_map<QWidget*, window_host*> table;
    return table;
}

constexpr const char* id_property = "plat_id";

// A text read into a buffer of `capacity` bytes: cut to capacity - 1 bytes, at a character
// boundary so that the cut text stays valid.
std::string cut_to_buffer(const QString& text, int capacity)
{
    std::string bytes = text.toLocal8Bit().toStdString();
    const std::size_t limit = capacity > 0 ? static_cast<std::size_t>(capacity - 1) : 0;
    if (bytes.size() <= limit)
        return bytes;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
        --end;
    bytes.resize(end);
    return bytes;
}

} // namespace

window_host::window_host(QWidget* widget) : self(widget)
{
    std::lock_guard<std::mutex> guard(windows_lock);
    windows()[widget] = this;
}

window_host::~window_host()
{
    {
        std::lock_guard<std::mutex> guard(windows_lock);
        windows().erase(self);
    }
    if (handle_slot != nullptr && *handle_slot == self)
        *handle_slot = nullptr;
}

lresult window_host::default_proc(unsigned, wparam, lparam) { return 0; }

window_host* find_host(hwnd window)
{
    std::lock_guard<std::mutex> guard(windows_lock);
    const auto found = windows().find(window);
    return found == windows().end() ? nullptr : found->second;
}

void notify_parent(QWidget* control, unsigned code)
{
    QWidget* parent = get_parent(control);
    if (parent == nullptr)
        return;
    const auto id = static_cast<unsigned>(get_dlg_ctrl_id(control));
    guarded_dispatch([&] { send_message(parent, WM_COMMAND, make_wparam(id, code), reinterpret_cast<lparam>(control)); });
}

void attach_message_map(hwnd window, message_map* map)
{
    if (window_host* host = find_host(window))
        host->map = map;
}

lresult send_message(hwnd window, unsigned msg, wparam w, lparam l)
{
    if (window == nullptr)
        return 0;
    if (!on_ui_thread()) {
        lresult result = 0;
        run_on_ui_thread([&] { result = send_message(window, msg, w, l); });
        return result;
    }
    if (window_host* host = find_host(window)) {
        if (host->map != nullptr) {
            lresult result = 0;
            if (host->map->ProcessWindowMessage(window, msg, w, l, result, 0))
                return result;
        }
        return host->default_proc(msg, w, l);
    }
    lresult result = 0;
    comctl::control_message(window, msg, w, l, result);
    return result;
}

bool post_message(hwnd window, unsigned msg, wparam w, lparam l)
{
    if (!has_ui_thread() || window == nullptr || find_host(window) == nullptr)
        return false;
    QPointer<QWidget> target(window);
    return post_to_ui_thread([target, msg, w, l] {
        if (!target.isNull() && find_host(target.data()) != nullptr)
            guarded_dispatch([&] { send_message(target.data(), msg, w, l); });
    });
}

bool is_window(hwnd window) { return window != nullptr && find_host(window) != nullptr; }

void destroy_window(hwnd window)
{
    if (!is_window(window))
        return;
    if (!on_ui_thread()) {
        run_on_ui_thread([window] { destroy_window(window); });
        return;
    }
    delete window;
}

hwnd get_parent(hwnd window)
{
    if (window == nullptr)
        return nullptr;
    QWidget* parent = window->parentWidget();
    while (parent != nullptr && find_host(parent) == nullptr)
        parent = parent->parentWidget();
    return parent;
}

namespace {
std::atomic<dispatch_failure_handler> failure_handler{nullptr};
} // namespace

void set_dispatch_failure_handler(dispatch_failure_handler handler) { failure_handler.store(handler); }

void guarded_dispatch(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (...) {
        if (dispatch_failure_handler report = failure_handler.load()) {
            try {
                report(std::current_exception());
            } catch (...) {
                std::fputs("Failure while reporting a failure\n", stderr);
            }
            return;
        }
        try {
            throw;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
        } catch (...) {
            std::fputs("Unknown exception\n", stderr);
        }
    }
}

hwnd get_active_window()
{
    if (!on_ui_thread())
        return nullptr;
    return QApplication::activeWindow();
}

hwnd get_dlg_item(hwnd dialog, int id)
{
    if (dialog == nullptr)
        return nullptr;
    // Breadth first over the dialog's own controls; the pages inside a sheet are windows of
    // their own and keep their controls to themselves.
    QList<QWidget*> level = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    while (!level.isEmpty()) {
        QList<QWidget*> next;
        for (QWidget* child : level) {
            const QVariant value = child->property(id_property);
            if (value.isValid() && value.toInt() == id)
                return child;
            if (find_host(child) == nullptr)
                next += child->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        }
        level = next;
    }
    return nullptr;
}

void set_dlg_ctrl_id(QWidget* control, int id) { control->setProperty(id_property, id); }

int get_dlg_ctrl_id(hwnd control)
{
    if (control == nullptr)
        return 0;
    const QVariant value = control->property(id_property);
    return value.isValid() ? value.toInt() : 0;
}

bool set_window_text(hwnd window, const std::string& text)
{
    if (window == nullptr)
        return false;
    const QString value = QString::fromLocal8Bit(text.c_str());
    if (find_host(window) != nullptr || window->isWindow())
        window->setWindowTitle(value);
    else if (auto* label = qobject_cast<QLabel*>(window))
        label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(window))
        button->setText(value);
    else if (auto* edit = qobject_cast<QLineEdit*>(window))
        edit->setText(value);
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(window))
        multi->setPlainText(value);
    else if (auto* group = qobject_cast<QGroupBox*>(window))
        group->setTitle(value);
    else
        window->setWindowTitle(value);
    return true;
}

std::string get_window_text(hwnd window, int capacity)
{
    if (window == nullptr)
        return std::string();
    QString value;
    if (find_host(window) != nullptr || window->isWindow())
        value = window->windowTitle();
    else if (auto* label = qobject_cast<QLabel*>(window))
        value = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(window))
        value = button->text();
    else if (auto* edit = qobject_cast<QLineEdit*>(window))
        value = edit->text();
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(window))
        value = multi->toPlainText();
    else if (auto* group = qobject_cast<QGroupBox*>(window))
        value = group->title();
    else
        value = window->windowTitle();
    return cut_to_buffer(value, capacity);
}

bool set_dlg_item_text(hwnd dialog, int id, const std::string& text)
{
    return set_window_text(get_dlg_item(dialog, id), text);
}

std::string get_dlg_item_text(hwnd dialog, int id, int capacity)
{
    return get_window_text(get_dlg_item(dialog, id), capacity);
}

bool check_dlg_button(hwnd dialog, int id, int state)
{
    hwnd control = get_dlg_item(dialog, id);
    if (qobject_cast<QAbstractButton*>(control) == nullptr)
        return false;
    send_message(control, BM_SETCHECK, static_cast<wparam>(state), 0);
    return true;
}

int is_dlg_button_checked(hwnd dialog, int id)
{
    hwnd control = get_dlg_item(dialog, id);
    if (qobject_cast<QAbstractButton*>(control) == nullptr)
        return BST_UNCHECKED;
    return static_cast<int>(send_message(control, BM_GETCHECK, 0, 0));
}

lresult send_dlg_item_message(hwnd dialog, int id, unsigned msg, wparam w, lparam l)
{
    return send_message(get_dlg_item(dialog, id), msg, w, l);
}

bool enable_window(hwnd window, bool enable)
{
    if (window == nullptr)
        return false;
    const bool was_disabled = !window->isEnabled();
    window->setEnabled(enable);
    return was_disabled;
}

bool show_window(hwnd window, int command)
{
    if (window == nullptr)
        return false;
    const bool was_visible = !window->isHidden();
    window->setVisible(command != SW_HIDE);
    return was_visible;
}

hwnd get_focus()
{
    if (!on_ui_thread())
        return nullptr;
    return QApplication::focusWidget();
}

hwnd set_focus(hwnd window)
{
    QWidget* previous = QApplication::focusWidget();
    if (window != nullptr)
        window->setFocus(Qt::OtherFocusReason);
    return previous;
}

} // namespace plat
