#include "comctl_radio_button.h"

#include "plat_gui_constants.h"

#include <QKeyEvent>
#include <QPointer>
#include <QRadioButton>
#include <QVariant>
#include <QWidget>

#include <vector>

namespace comctl {

namespace {

constexpr const char* style_property = "comctl_style";

unsigned style_of(const QWidget* control) { return control->property(style_property).toUInt(); }

bool is_control(const QWidget* widget) { return widget->property(style_property).isValid(); }

// The controls of `control`'s group in the dialog's order, which is the order in which the
// dialog's controls were made (the template's order). The dialog's first control starts a
// group also without WS_GROUP.
std::vector<QWidget*> group_of(QWidget* control)
{
    QWidget* dialog = control->parentWidget();
    if (dialog == nullptr)
        return {control};
    std::vector<QWidget*> group;
    bool reached = false;
    for (QWidget* sibling : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!is_control(sibling))
            continue;
        if ((style_of(sibling) & plat::WS_GROUP) != 0) {
            if (reached)
                break;
            group.clear();
        }
        group.push_back(sibling);
        reached = reached || sibling == control;
    }
    return group;
}

class auto_radio_button : public QRadioButton {
public:
    auto_radio_button(const QString& text, QWidget* parent) : QRadioButton(text, parent)
    {
        // The group is the template's, not the toolkit's (every radio button of one parent).
        setAutoExclusive(false);
    }

    void set_check(bool checked)
    {
        setChecked(checked);
        setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        if (!checked)
            return;
        for (QWidget* other : group_of(this))
            if (auto* radio = dynamic_cast<auto_radio_button*>(other); radio != nullptr && radio != this)
                radio->set_check(false);
    }

protected:
    // A click checks the button, also one that is checked already.
    void nextCheckState() override { set_check(true); }

    void keyPressEvent(QKeyEvent* event) override
    {
        const int key = event->key();
        const bool arrow = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
        if (!arrow || (event->modifiers() & ~Qt::KeypadModifier) != 0) {
            QRadioButton::keyPressEvent(event);
            return;
        }
        const bool backward = key == Qt::Key_Up || key == Qt::Key_Left;
        QPointer<auto_radio_button> target = neighbour(backward);
        if (target.isNull())
            return;
        const Qt::FocusReason reason = backward ? Qt::BacktabFocusReason : Qt::TabFocusReason;
        target->setFocus(reason);
        if (target->isChecked())
            return;
        // Reached by the keyboard, the button is checked and reports a click to its window.
        // The focus stays where the key put it, also when the window's answer to the click
        // moved it (a page that enables a control gives that control the focus).
        target->click();
        if (!target.isNull())
            target->setFocus(reason);
    }

private:
    // The previous or next radio button of the group that is enabled and shown, round at the
    // group's ends; null when there is no other.
    auto_radio_button* neighbour(bool backward)
    {
        std::vector<auto_radio_button*> radios;
        std::size_t mine = 0;
        for (QWidget* control : group_of(this)) {
            auto* radio = dynamic_cast<auto_radio_button*>(control);
            if (radio == this)
                mine = radios.size();
            if (radio == this || (radio != nullptr && radio->isEnabled() && !radio->isHidden()))
                radios.push_back(radio);
        }
        if (radios.size() < 2)
            return nullptr;
        const std::size_t count = radios.size();
        return radios[backward ? (mine + count - 1) % count : (mine + 1) % count];
    }
};

} // namespace

void keep_style(QWidget* control, unsigned style) { control->setProperty(style_property, style); }

QAbstractButton* create_auto_radio_button(const QString& text, QWidget* parent)
{
    return new auto_radio_button(text, parent);
}

bool set_radio_check(QAbstractButton* button, bool checked)
{
    auto* radio = dynamic_cast<auto_radio_button*>(button);
    if (radio == nullptr)
        return false;
    radio->set_check(checked);
    return true;
}

} // namespace comctl
