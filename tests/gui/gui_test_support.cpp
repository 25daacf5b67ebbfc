#include "gui_test_support.h"

#include "plat_gui_constants.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <map>
#include <memory>

namespace gui_test {

QPointer<QTimer> when_modal(std::function<void(QWidget*)> act, int timeout_ms, bool window_expected)
{
    QWidget* before = QApplication::activeModalWidget();
    // The watch belongs to the application, so it ends with it at the latest.
    auto* watch = new QTimer(QApplication::instance());
    watch->setInterval(10);
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    QObject::connect(watch, &QTimer::timeout, watch, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool came = modal != nullptr && modal != before && modal->isVisible();
        if (!came && since->elapsed() <= timeout_ms)
            return;
        watch->stop();
        watch->deleteLater();
        if (came)
            act(modal);
        else if (window_expected)
            QWARN("no modal window came");
    });
    watch->start();
    return watch;
}

void press_button(QWidget* window, const QString& text)
{
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (button->text() == text) {
            button->click();
            return;
        }
    QWARN(qPrintable(QStringLiteral("no button ") + text));
}

const plat::dialog_template& test_page_template(int id)
{
    using namespace plat;
    static std::map<int, std::unique_ptr<dialog_template>> made;
    auto& slot = made[id];
    if (!slot)
        slot.reset(new dialog_template{id,
                                       317,
                                       143,
                                       "MS Shell Dlg",
                                       8,
                                       {
                                           {1003, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | WS_VISIBLE, 55, 26, 180, 14},
                                           {1222, "BUTTON", "&Use password:", BS_CHECKBOX | WS_TABSTOP | WS_VISIBLE, 22, 44, 65, 10},
                                           {1107, "BUTTON", "Browse...", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 240, 26, 48, 15},
                                       }});
    return *slot;
}

} // namespace gui_test
