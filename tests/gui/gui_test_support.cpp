#include "gui_test_support.h"

#include "plat_gui_constants.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>

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
        else
            QVERIFY2(!window_expected, "no modal window came");
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
    qWarning("no button %s", qPrintable(text));
}

void type_and_accept(QFileDialog* dialog, const QString& name)
{
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
    static_cast<QDialog*>(dialog)->accept();
}

namespace {

QWidget* window_on_top()
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : QApplication::activeWindow();
}

Qt::Key key_named(const QString& word)
{
    static const std::map<QString, Qt::Key> keys{{QStringLiteral("Tab"), Qt::Key_Tab},
                                                 {QStringLiteral("Backtab"), Qt::Key_Backtab},
                                                 {QStringLiteral("Enter"), Qt::Key_Return},
                                                 {QStringLiteral("Space"), Qt::Key_Space},
                                                 {QStringLiteral("Escape"), Qt::Key_Escape}};
    const auto found = keys.find(word);
    if (found == keys.end())
        qFatal("no key named %s", qPrintable(word));
    return found->second;
}

} // namespace

void press_key(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget* window = window_on_top();
    if (window == nullptr || window->windowHandle() == nullptr) {
        qWarning("no window to press a key in");
        return;
    }
    // A user types into the window on top, which the desktop has made the active one. The
    // offscreen platform activates a window only some events after showing it, and none when
    // the window over it closes; in a window that is not active the control that gets the
    // focus gets no focus event, so a push button would not become the default one.
    if (QApplication::activeWindow() != window) {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            qWarning("the window on top did not become active");
    }
    // Through the window system's entry, as a key of the keyboard arrives.
    QTest::keyClick(window->windowHandle(), key, modifiers);
}

void press_keys(const QString& words)
{
    for (const QString& word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        press_key(key_named(word));
}

QWidget* focused_control()
{
    QWidget* window = window_on_top();
    return window != nullptr ? window->focusWidget() : nullptr;
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
