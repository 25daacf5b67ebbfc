// The automatic radio buttons of any dialog made from a template: the checked button of a
// group is the group's tab stop, and the arrow keys move through the group's radio buttons,
// checking the one they reach and reporting it to the dialog as a click.
#include "gui_test_support.h"
#include "plat_dialog_box.h"
#include "plat_gui_constants.h"
#include "plat_window.h"

#include <QAbstractButton>
#include <QList>
#include <QTest>

#include <functional>

using namespace plat;
using gui_test::focused_control;
using gui_test::press_key;

namespace {

enum control_id {
    first_edit = 100,
    first = 201,
    second = 202,
    third = 203,
    group_edit = 300,
    other = 401,
    another = 402,
};

// Two groups of radio buttons. The first holds a static and an edit between and after its
// radio buttons (as the select-files page's range edit is), which the arrows pass over.
const dialog_template& radio_dialog()
{
    constexpr unsigned edit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | WS_VISIBLE;
    constexpr unsigned radio = BS_AUTORADIOBUTTON | WS_VISIBLE;
    static const dialog_template resource{
        900,
        200,
        120,
        "MS Shell Dlg",
        8,
        {
            {first_edit, "EDIT", "", edit | WS_GROUP, 10, 5, 100, 14},
            {first, "BUTTON", "&First", radio | WS_GROUP, 10, 25, 40, 11},
            {second, "BUTTON", "&Second", radio, 60, 25, 40, 11},
            {IDC_STATIC, "STATIC", "between", SS_LEFT | WS_VISIBLE, 110, 25, 30, 8},
            {third, "BUTTON", "T&hird", radio, 150, 25, 40, 11},
            {group_edit, "EDIT", "", edit, 10, 40, 100, 14},
            {other, "BUTTON", "&Other", radio | WS_GROUP, 10, 60, 40, 11},
            {another, "BUTTON", "A&nother", radio, 60, 60, 40, 11},
            {IDOK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP | WS_VISIBLE, 140, 95, 50, 14},
        },
    };
    return resource;
}

// The dialog's object: starts with the first radio button of each group checked, keeps the
// clicks that its radio buttons report and answers each, as the select-files page does, by
// giving the edit of the first group the focus.
class radio_dialog_object : public window_object {
public:
    bool ProcessWindowMessage(hwnd, unsigned msg, wparam w, lparam, lresult& result, unsigned map_id) override
    {
        if (map_id != 0)
            return false;
        result = 0;
        if (msg == WM_INITDIALOG) {
            check_dlg_button(window, first, BST_CHECKED);
            check_dlg_button(window, other, BST_CHECKED);
            result = 1;
            return true;
        }
        if (msg != WM_COMMAND)
            return false;
        const int id = static_cast<int>(loword(w));
        if (id == IDOK || id == IDCANCEL)
            end_dialog(window, id);
        else if (hiword(w) == BN_CLICKED && id != first_edit && id != group_edit) {
            clicks.append(id);
            set_focus(get_dlg_item(window, group_edit));
        }
        return true;
    }

    QList<int> clicks;
};

int focused_id() { return get_dlg_ctrl_id(focused_control()); }

QList<int> checked_radios(hwnd dialog)
{
    QList<int> checked;
    for (int id : {first, second, third, other, another})
        if (is_dlg_button_checked(dialog, id) == BST_CHECKED)
            checked.append(id);
    return checked;
}

// Runs the dialog with `act` done in it, then closes it.
void run_dialog(radio_dialog_object& object, const std::function<void(hwnd)>& act)
{
    gui_test::when_modal([&](QWidget* dialog) {
        act(dialog);
        end_dialog(dialog, IDOK);
    });
    QCOMPARE(dialog_box(radio_dialog(), nullptr, &object), IDOK);
}

} // namespace

class radio_group_test : public QObject {
    Q_OBJECT

private slots:
    // Tab from the first edit through the dialog; a group whose radio buttons are all clear
    // has no tab stop.
    void the_checked_radio_button_is_the_groups_tab_stop_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QList<int>>("walk");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QList<int>>("checked");
        const QList<int> through_second{second, group_edit, other, IDOK, first_edit};
        QTest::newRow("as checked at the start") << "" << QList<int>{first, group_edit, other, IDOK, first_edit}
                                                 << QList<int>{} << QList<int>{first, other};
        QTest::newRow("checked by BM_SETCHECK") << "message" << through_second << QList<int>{}
                                                << QList<int>{second, other};
        QTest::newRow("checked by a click") << "click" << through_second << QList<int>{second}
                                            << QList<int>{second, other};
        QTest::newRow("checked by the Down key") << "Down" << through_second << QList<int>{second}
                                                 << QList<int>{second, other};
        QTest::newRow("the checked one cleared by BM_SETCHECK")
            << "clear" << QList<int>{group_edit, other, IDOK, first_edit, group_edit} << QList<int>{}
            << QList<int>{other};
    }
    void the_checked_radio_button_is_the_groups_tab_stop()
    {
        QFETCH(QString, how);
        QFETCH(QList<int>, walk);
        radio_dialog_object object;
        QList<int> seen;
        QList<int> checked;
        run_dialog(object, [&](hwnd dialog) {
            if (how == QLatin1String("message"))
                check_dlg_button(dialog, second, BST_CHECKED);
            else if (how == QLatin1String("clear"))
                check_dlg_button(dialog, first, BST_UNCHECKED);
            else if (how == QLatin1String("click"))
                QTest::mouseClick(get_dlg_item(dialog, second), Qt::LeftButton);
            else if (how == QLatin1String("Down")) {
                set_focus(get_dlg_item(dialog, first));
                press_key(Qt::Key_Down);
            }
            checked = checked_radios(dialog);
            set_focus(get_dlg_item(dialog, first_edit));
            for (int i = 0; i < walk.size(); ++i) {
                press_key(Qt::Key_Tab);
                seen.append(focused_id());
            }
        });
        QCOMPARE(seen, walk);
        QTEST(object.clicks, "clicks");
        QTEST(checked, "checked");
    }

    // The arrows stay in the group of the focused radio button, go round at its ends and pass
    // over its other controls and its disabled radio buttons. The focus stays on the button
    // reached, although the dialog's answer to the click gave the edit the focus.
    void the_arrows_move_through_the_group_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("disabled");
        QTest::addColumn<int>("focus");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QList<int>>("checked");
        QTest::newRow("Down to the next") << int(first) << int(Qt::Key_Down) << 0 << int(second)
                                          << QList<int>{second} << QList<int>{second, other};
        QTest::newRow("Right to the next") << int(first) << int(Qt::Key_Right) << 0 << int(second)
                                           << QList<int>{second} << QList<int>{second, other};
        QTest::newRow("Up round to the last") << int(first) << int(Qt::Key_Up) << 0 << int(third)
                                              << QList<int>{third} << QList<int>{third, other};
        QTest::newRow("Left to the previous") << int(third) << int(Qt::Key_Left) << 0 << int(second)
                                              << QList<int>{second} << QList<int>{second, other};
        QTest::newRow("Down round to the checked first, no click")
            << int(third) << int(Qt::Key_Down) << 0 << int(first) << QList<int>{} << QList<int>{first, other};
        QTest::newRow("Down past a disabled one") << int(first) << int(Qt::Key_Down) << int(second) << int(third)
                                                  << QList<int>{third} << QList<int>{third, other};
        QTest::newRow("Down in the second group") << int(other) << int(Qt::Key_Down) << 0 << int(another)
                                                  << QList<int>{another} << QList<int>{first, another};
        QTest::newRow("Down with no other enabled one") << int(other) << int(Qt::Key_Down) << int(another)
                                                        << int(other) << QList<int>{} << QList<int>{first, other};
    }
    void the_arrows_move_through_the_group()
    {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, disabled);
        radio_dialog_object object;
        int focus = 0;
        QList<int> checked;
        run_dialog(object, [&](hwnd dialog) {
            if (disabled != 0)
                enable_window(get_dlg_item(dialog, disabled), false);
            set_focus(get_dlg_item(dialog, start));
            press_key(static_cast<Qt::Key>(key));
            focus = focused_id();
            checked = checked_radios(dialog);
        });
        QTEST(focus, "focus");
        QTEST(object.clicks, "clicks");
        QTEST(checked, "checked");
    }
};

QTEST_MAIN(radio_group_test)
#include "radio_group_test.moc"
