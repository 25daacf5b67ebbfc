#include "plat_timer.h"

#include "plat_gui_constants.h"
#include "plat_ui_thread.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace plat {

namespace {

QString timer_name(wparam id) { return QStringLiteral("plat_timer_%1").arg(static_cast<qulonglong>(id)); }

QTimer* find_timer(hwnd window, wparam id)
{
    return window->findChild<QTimer*>(timer_name(id), Qt::FindDirectChildrenOnly);
}

} // namespace

bool set_timer(hwnd window, wparam id, unsigned period_ms)
{
    bool set = false;
    const bool ran = run_on_ui_thread([&] {
        if (!is_window(window))
            return;
        QTimer* timer = find_timer(window, id);
        if (timer == nullptr) {
            timer = new QTimer(window);
            timer->setObjectName(timer_name(id));
            QPointer<QWidget> target(window);
            QObject::connect(timer, &QTimer::timeout, window, [target, id] {
                if (!target.isNull())
                    guarded_dispatch([&] { send_message(target.data(), WM_TIMER, id, 0); });
            });
        }
        timer->start(static_cast<int>(period_ms));
        set = true;
    });
    return ran && set;
}

bool kill_timer(hwnd window, wparam id)
{
    bool killed = false;
    run_on_ui_thread([&] {
        if (!is_window(window))
            return;
        if (QTimer* timer = find_timer(window, id)) {
            // The kill may come from inside the timer's own tick: end it later.
            timer->stop();
            timer->setObjectName(QString());
            timer->deleteLater();
            killed = true;
        }
    });
    return killed;
}

} // namespace plat
