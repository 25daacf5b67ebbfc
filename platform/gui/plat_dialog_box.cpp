#include "plat_dialog_box.h"

#include "plat_dialog_builder.h"
#include "plat_gui_constants.h"
#include "plat_ui_thread.h"
#include "plat_window_host.h"

#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace plat {

namespace {

class template_dialog : public QDialog, public window_host {
public:
    template_dialog(const dialog_template& resource, QWidget* parent)
        : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
          window_host(this)
    {
        setObjectName(QStringLiteral("plat_dialog_%1").arg(resource.id));
        build_dialog(this, resource);
    }

    bool focus_first_tab_stop = false;

protected:
    // Escape: the command IDCANCEL, for the dialog's object to answer.
    void reject() override
    {
        guarded_dispatch([this] { send_message(this, WM_COMMAND, make_wparam(IDCANCEL, BN_CLICKED), 0); });
    }

    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        reject();
    }

    void showEvent(QShowEvent* event) override
    {
        QDialog::showEvent(event);
        if (!focus_first_tab_stop)
            return;
        focus_first_tab_stop = false;
        // Children come in the template's order, which is also the tab order.
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->focusPolicy() == Qt::StrongFocus && child->isEnabled() && !child->isHidden()) {
                child->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
};

int run_dialog(const dialog_template& resource, hwnd parent, window_object* object, lparam init_param)
{
    template_dialog dialog(resource, parent);
    dialog.map = object;
    dialog.handle_slot = object != nullptr ? &object->window : nullptr;
    if (object != nullptr)
        object->window = &dialog;
    const lresult init = send_message(&dialog, WM_INITDIALOG, 0, init_param);
    dialog.focus_first_tab_stop = init != 0;
    const int result = dialog.exec();
    dialog.map = nullptr;
    return result;
}

QRect work_area_near(const QWidget* window)
{
    QScreen* screen = window != nullptr ? window->screen() : nullptr;
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

int dialog_box(const dialog_template& resource, hwnd parent, window_object* object, lparam init_param)
{
    int result = -1;
    if (!run_on_ui_thread([&] { result = run_dialog(resource, parent, object, init_param); }))
        return -1;
    return result;
}

bool end_dialog(hwnd dialog, int result)
{
    auto* box = qobject_cast<QDialog*>(dialog);
    if (box == nullptr || find_host(dialog) == nullptr)
        return false;
    box->done(result);
    return true;
}

void center_window(hwnd window, hwnd owner)
{
    if (window == nullptr)
        return;
    const bool use_owner = owner != nullptr && owner->isVisible() && !owner->isMinimized();
    const QRect area = work_area_near(use_owner ? owner : window);
    const QRect reference = use_owner ? owner->frameGeometry() : area;
    const QSize size = window->frameGeometry().size();
    int left = reference.center().x() - size.width() / 2;
    int top = reference.center().y() - size.height() / 2;
    if (left + size.width() > area.right() + 1)
        left = area.right() + 1 - size.width();
    if (top + size.height() > area.bottom() + 1)
        top = area.bottom() + 1 - size.height();
    left = std::max(left, area.left());
    top = std::max(top, area.top());
    window->move(left, top);
}

void bring_window_to_top(hwnd window)
{
    if (window == nullptr)
        return;
    window->raise();
    window->activateWindow();
}

} // namespace plat
