#include "plat_dialog_builder.h"

#include "comctl_controls.h"
#include "plat_gui_constants.h"
#include "plat_window_host.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include <cstring>

namespace plat {

namespace {

int mul_div(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

// Edits tell the window that holds them when they get and lose the keyboard focus.
class edit_focus_watch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            const auto* focus = static_cast<QFocusEvent*>(event);
            if (focus->reason() != Qt::PopupFocusReason)
                notify_parent(static_cast<QWidget*>(watched),
                              event->type() == QEvent::FocusIn ? EN_SETFOCUS : EN_KILLFOCUS);
        }
        return false;
    }
};

void wire_notifications(QWidget* control, QObject* focus_watch)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QObject::connect(button, &QAbstractButton::clicked, button, [button] { notify_parent(button, BN_CLICKED); });
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->installEventFilter(focus_watch);
        QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] { notify_parent(edit, EN_CHANGE); });
        return;
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
        edit->installEventFilter(focus_watch);
        QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit] { notify_parent(edit, EN_CHANGE); });
    }
}

bool takes_focus(const QWidget* control)
{
    return qobject_cast<const QAbstractButton*>(control) != nullptr || comctl::is_edit(control);
}

bool has_mnemonic(const char* text)
{
    for (const char* p = std::strchr(text, '&'); p != nullptr; p = std::strchr(p + 2, '&'))
        if (p[1] != '&' && p[1] != '\0')
            return true;
        else if (p[1] == '\0')
            return false;
    return false;
}

} // namespace

QString font_family(const char* face)
{
    const QString name = QString::fromLatin1(face != nullptr ? face : "");
    if (name.isEmpty() || name.startsWith(QLatin1String("MS Shell Dlg")) ||
        !QFontDatabase::families().contains(name, Qt::CaseInsensitive))
        return QApplication::font().family();
    return name;
}

QFont dialog_font(const char* face, int point_size)
{
    QFont font(font_family(face));
    font.setPointSize(point_size > 0 ? point_size : 8);
    return font;
}

dialog_units::dialog_units(const QFont& font)
{
    const QFontMetrics metrics(font);
    static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    base_x = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    base_y = metrics.height();
    if (base_x <= 0)
        base_x = 1;
    if (base_y <= 0)
        base_y = 1;
}

int dialog_units::x(int units) const { return mul_div(units, base_x, 4); }
int dialog_units::y(int units) const { return mul_div(units, base_y, 8); }

void build_dialog(QWidget* host, const dialog_template& resource)
{
    const QFont font = dialog_font(resource.font, resource.point_size);
    host->setFont(font);
    const dialog_units units(font);
    host->setFixedSize(units.size(resource.cx, resource.cy));

    auto* focus_watch = new edit_focus_watch(host);
    QWidget* previous_focus = nullptr;
    QLabel* waiting_label = nullptr; // a static with a mnemonic, waiting for the next tab stop
    for (const dialog_item& item : resource.items) {
        QWidget* control = comctl::create_control(item.cls, item.style, item.text != nullptr ? item.text : "", host);
        if (control == nullptr)
            continue;
        set_dlg_ctrl_id(control, item.id);
        control->setGeometry(units.x(item.x), units.y(item.y), units.x(item.cx), units.y(item.cy));
        control->setEnabled((item.style & WS_DISABLED) == 0);
        control->setVisible((item.style & WS_VISIBLE) != 0);
        if (takes_focus(control)) {
            control->setFocusPolicy((item.style & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
            if (previous_focus != nullptr)
                QWidget::setTabOrder(previous_focus, control);
            previous_focus = control;
            if (waiting_label != nullptr) {
                waiting_label->setBuddy(control);
                waiting_label = nullptr;
            }
        } else {
            control->setFocusPolicy(Qt::NoFocus);
            auto* label = qobject_cast<QLabel*>(control);
            if (label != nullptr && item.text != nullptr && has_mnemonic(item.text))
                waiting_label = label;
        }
        wire_notifications(control, focus_watch);
    }
}

} // namespace plat
