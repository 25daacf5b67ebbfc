#include "comctl_controls.h"

#include "comctl_radio_button.h"
#include "plat_gui_constants.h"
#include "plat_library.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTextCursor>
#include <qdrawutil.h>

namespace comctl {

namespace {

// The plain check box: a click is reported to the program, which sets the new state;
// the box does not toggle itself.
class plain_check_box : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

// The group box of a dialog template: its frame passes through the middle of the caption's
// line, so the controls that the template places inside the box lie inside the frame (the
// toolkit's own box draws its caption above the frame).
class template_group_box : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QFontMetrics metrics = fontMetrics();
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextSingleLine;
        const QRect caption = metrics.boundingRect(QRect(metrics.averageCharWidth(), 0, width(), height()), flags, title());
        // The frame's lines stay out of the caption's place.
        painter.setClipRegion(QRegion(rect()).subtracted(caption));
        qDrawShadeRect(&painter, QRect(0, metrics.height() / 2, width(), height() - metrics.height() / 2), palette(),
                       true);
        painter.setClipping(false);
        style()->drawItemText(&painter, caption, flags, palette(), isEnabled(), title(), QPalette::WindowText);
    }
};

QString from_ansi(const std::string& text) { return QString::fromLocal8Bit(text.c_str()); }

QWidget* create_button(unsigned style, const QString& text, QWidget* parent)
{
    switch (style & plat::BS_TYPEMASK) {
    case plat::BS_CHECKBOX:
        return new plain_check_box(text, parent);
    case plat::BS_AUTOCHECKBOX:
        return new QCheckBox(text, parent);
    case plat::BS_AUTORADIOBUTTON:
        return create_auto_radio_button(text, parent);
    case plat::BS_GROUPBOX:
        return new template_group_box(text, parent);
    default: {
        // A push button that has the focus is the default one for as long as it has it, so
        // Enter presses the focused button; elsewhere Enter presses the dialog's own default.
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(true);
        button->setDefault((style & plat::BS_TYPEMASK) == plat::BS_DEFPUSHBUTTON);
        return button;
    }
    }
}

QWidget* create_static(unsigned style, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(parent);
    if ((style & plat::SS_TYPEMASK) == plat::SS_ICON) {
        // The text names the icon resource; the system's error icon is the only one used.
        const int size = QApplication::style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
        label->setPixmap(QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(size, size));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setWordWrap(true);
    const Qt::Alignment horizontal = (style & plat::SS_TYPEMASK) == plat::SS_CENTER ? Qt::AlignHCenter : Qt::AlignLeft;
    label->setAlignment(horizontal | Qt::AlignTop);
    return label;
}

// A read-only multi-line edit keeps its caret and the keyboard's moves and selection, as the
// platform's edit control does: without them it would show no mark while it has the focus.
void set_read_only(QPlainTextEdit* edit, bool read_only)
{
    edit->setReadOnly(read_only);
    if (read_only)
        edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

QWidget* create_edit(unsigned style, const QString& text, QWidget* parent)
{
    if ((style & plat::ES_MULTILINE) != 0) {
        auto* edit = new QPlainTextEdit(text, parent);
        edit->setVerticalScrollBarPolicy((style & plat::WS_VSCROLL) != 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        set_read_only(edit, (style & plat::ES_READONLY) != 0);
        edit->setTabChangesFocus(true);
        if ((style & plat::WS_BORDER) == 0)
            edit->setFrameShape(QFrame::NoFrame);
        return edit;
    }
    auto* edit = new QLineEdit(text, parent);
    edit->setEchoMode((style & plat::ES_PASSWORD) != 0 ? QLineEdit::Password : QLineEdit::Normal);
    edit->setReadOnly((style & plat::ES_READONLY) != 0);
    edit->setFrame((style & plat::WS_BORDER) != 0);
    return edit;
}

QWidget* create_progress(QWidget* parent)
{
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

int check_state(const QAbstractButton* button)
{
    if (const auto* box = qobject_cast<const QCheckBox*>(button)) {
        switch (box->checkState()) {
        case Qt::Checked:
            return plat::BST_CHECKED;
        case Qt::PartiallyChecked:
            return plat::BST_INDETERMINATE;
        default:
            return plat::BST_UNCHECKED;
        }
    }
    return button->isChecked() ? plat::BST_CHECKED : plat::BST_UNCHECKED;
}

void set_check_state(QAbstractButton* button, int state)
{
    if (auto* box = qobject_cast<QCheckBox*>(button)) {
        if (state == plat::BST_INDETERMINATE)
            box->setTristate(true);
        box->setCheckState(state == plat::BST_CHECKED ? Qt::Checked
                           : state == plat::BST_INDETERMINATE ? Qt::PartiallyChecked
                                                               : Qt::Unchecked);
        return;
    }
    if (!set_radio_check(button, state == plat::BST_CHECKED))
        button->setChecked(state == plat::BST_CHECKED);
}

bool button_message(QAbstractButton* button, unsigned msg, std::uintptr_t w, std::intptr_t& result)
{
    switch (msg) {
    case plat::BM_GETCHECK:
        result = check_state(button);
        return true;
    case plat::BM_SETCHECK:
        set_check_state(button, static_cast<int>(w));
        result = 0;
        return true;
    default:
        return false;
    }
}

// The selection of EM_SETSEL: a start of -1 removes the selection; an end of -1 selects to the end.
void select_text(QTextCursor& cursor, int length, std::intptr_t start, std::intptr_t end)
{
    if (start < 0) {
        cursor.clearSelection();
        return;
    }
    const int from = static_cast<int>(std::min<std::intptr_t>(start, length));
    const int to = end < 0 ? length : static_cast<int>(std::min<std::intptr_t>(end, length));
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
}

// The two kinds of edit differ only in how text is read, selected and inserted.
QString edit_text(const QPlainTextEdit* edit) { return edit->toPlainText(); }
QString edit_text(const QLineEdit* edit) { return edit->text(); }

void edit_select(QPlainTextEdit* edit, std::intptr_t start, std::intptr_t end)
{
    QTextCursor cursor = edit->textCursor();
    select_text(cursor, edit->document()->characterCount() - 1, start, end);
    edit->setTextCursor(cursor);
}

void edit_select(QLineEdit* edit, std::intptr_t start, std::intptr_t end)
{
    if (start < 0) {
        edit->deselect();
        return;
    }
    const auto length = static_cast<std::intptr_t>(edit->text().size());
    const auto from = std::min(start, length);
    const auto to = end < 0 ? length : std::min(end, length);
    edit->setSelection(static_cast<int>(from), static_cast<int>(std::max<std::intptr_t>(to - from, 0)));
}

void edit_insert(QPlainTextEdit* edit, const QString& text) { edit->textCursor().insertText(text); }
void edit_insert(QLineEdit* edit, const QString& text) { edit->insert(text); }
void edit_scroll_caret(QPlainTextEdit* edit) { edit->ensureCursorVisible(); }
void set_read_only(QLineEdit* edit, bool read_only) { edit->setReadOnly(read_only); }
void edit_scroll_caret(QLineEdit*) {}

template <class Edit>
bool edit_message(Edit* edit, unsigned msg, std::uintptr_t w, std::intptr_t l, std::intptr_t& result)
{
    result = 0;
    switch (msg) {
    case plat::WM_GETTEXTLENGTH:
        result = edit_text(edit).toLocal8Bit().size();
        return true;
    case plat::EM_SETSEL:
        edit_select(edit, static_cast<std::intptr_t>(w), l);
        return true;
    case plat::EM_SCROLLCARET:
        edit_scroll_caret(edit);
        return true;
    case plat::EM_REPLACESEL: {
        const char* text = reinterpret_cast<const char*>(l);
        edit_insert(edit, QString::fromLocal8Bit(text != nullptr ? text : ""));
        return true;
    }
    case plat::EM_SETREADONLY:
        set_read_only(edit, w != 0);
        result = 1;
        return true;
    default:
        return false;
    }
}

bool progress_message(QProgressBar* bar, unsigned msg, std::uintptr_t w, std::intptr_t l, std::intptr_t& result)
{
    switch (msg) {
    case plat::PBM_SETPOS:
        result = bar->value();
        bar->setValue(std::clamp(static_cast<int>(w), bar->minimum(), bar->maximum()));
        return true;
    case plat::PBM_GETPOS:
        result = bar->value();
        return true;
    case plat::PBM_SETRANGE:
        result = (bar->minimum() & 0xFFFF) | ((bar->maximum() & 0xFFFF) << 16);
        bar->setRange(static_cast<int>(l & 0xFFFF), static_cast<int>((l >> 16) & 0xFFFF));
        return true;
    default:
        return false;
    }
}

} // namespace

QWidget* create_control(const std::string& cls, unsigned style, const std::string& text, QWidget* parent)
{
    const QString caption = from_ansi(text);
    const QString name = QString::fromLatin1(cls.c_str()).toLower();
    QWidget* control = nullptr;
    if (name == QLatin1String("button"))
        control = create_button(style, caption, parent);
    else if (name == QLatin1String("static"))
        control = create_static(style, caption, parent);
    else if (name == QLatin1String("edit"))
        control = create_edit(style, caption, parent);
    else if (name == QLatin1String("msctls_progress32"))
        control = create_progress(parent);
    if (control != nullptr)
        keep_style(control, style);
    return control;
}

bool control_message(QWidget* control, unsigned msg, std::uintptr_t w, std::intptr_t l, std::intptr_t& result)
{
    if (control == nullptr)
        return false;
    if (msg == plat::WM_SETFONT) {
        const QFont* font = reinterpret_cast<const QFont*>(w);
        control->setFont(font != nullptr ? *font : QFont());
        if (l != 0)
            control->update();
        result = 0;
        return true;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button_message(button, msg, w, result);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(control))
        return edit_message(edit, msg, w, l, result);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit_message(edit, msg, w, l, result);
    if (auto* bar = qobject_cast<QProgressBar*>(control))
        return progress_message(bar, msg, w, l, result);
    return false;
}

bool is_edit(const QWidget* control)
{
    return qobject_cast<const QLineEdit*>(control) != nullptr || qobject_cast<const QPlainTextEdit*>(control) != nullptr;
}

} // namespace comctl

// The module's version: 6.0, the version of the controls the program is built for.
extern "C" __attribute__((visibility("default"))) std::int32_t DllGetVersion(plat::dll_version_info* info)
{
    constexpr std::int32_t invalid_argument = static_cast<std::int32_t>(0x80070057u);
    if (info == nullptr || info->size < sizeof(plat::dll_version_info))
        return invalid_argument;
    info->major = 6;
    info->minor = 0;
    info->build = 0;
    info->platform_id = 2;
    return 0;
}
