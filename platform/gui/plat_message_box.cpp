#include "plat_message_box.h"

#include "plat_gui_constants.h"
#include "plat_ui_thread.h"
#include "plat_wrapped_text.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include <algorithm>
#include <cstdio>

namespace plat {

namespace {

QMessageBox::Icon icon_of(unsigned style)
{
    switch (style & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The toolkit sizes a box to its text and buttons alone, at most about 800 pixels wide, and
// breaks the text only between words: a window manager cuts a longer caption short
// ("Lume... Error"), and a long word such as a path is cut at the box's edge. This box
// shows its text whole within the screen, breaking a word where it must and growing in
// height; it is at least as wide as its caption needs in the caption's font, with room for
// the title bar's icon and buttons, and never wider than the screen.
class whole_text_box : public QMessageBox {
public:
    whole_text_box(Icon icon, const QString& caption, const QString& text, QWidget* owner)
        : QMessageBox(icon, caption, QString(), NoButton, owner)
    {
        // The box's own text, which copying the box (Ctrl+C) takes, stays whole and plain;
        // a text of its own, that breaks anywhere, takes its label's place.
        setTextFormat(Qt::PlainText);
        setText(text);
        shown = new wrapped_text(text, this);
        shown->setObjectName(QStringLiteral("plat_message_text"));
        put_text_in_place();
    }

protected:
    bool event(QEvent* e) override
    {
        const bool result = QMessageBox::event(e);
        // The toolkit fixes the box's size again whenever its layout changes, and lays the
        // box out anew when its style changes; a window manager that frames the box moves it.
        if (e->type() == QEvent::LayoutRequest) {
            put_text_in_place();
            fit();
        } else if (e->type() == QEvent::Move) {
            fit();
        }
        return result;
    }
    void showEvent(QShowEvent* e) override
    {
        QMessageBox::showEvent(e);
        fit();
    }

private:
    void put_text_in_place()
    {
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"), Qt::FindDirectChildrenOnly);
        if (label == nullptr || layout() == nullptr || layout()->indexOf(label) < 0)
            return;
        delete layout()->replaceWidget(label, shown, Qt::FindDirectChildrenOnly);
        label->hide();
    }

    // The width the caption needs: window managers commonly draw it in bold, with an icon
    // before it and three buttons after it, each about a bar's height wide, and a margin.
    int caption_width(int bar) const
    {
        QFont caption_font = QApplication::font("QMdiSubWindowTitleBar");
        caption_font.setBold(true);
        return QFontMetrics(caption_font).horizontalAdvance(windowTitle()) + 6 * bar;
    }

    // The width of the box's text: on unbroken lines when they fit the width that the
    // toolkit gives a short box, else broken between words at that width, or as wide as the
    // widest word needs; never wider than the toolkit's widest box (the whole screen on a
    // small one) leaves beside the icon and margins: a word wider than that breaks.
    int text_width(int beside, int room) const
    {
        const int widest_box = room <= 1024 ? room : std::min(room - 480, 1000);
        const int compact = std::min(room / 2, 500) - beside;
        int width = shown->natural_width();
        if (width > compact)
            width = std::max(compact, shown->widest_word());
        return std::max(std::min(width, widest_box - beside), shown->minimumSizeHint().width());
    }

    void fit()
    {
        // A hidden box is sized again when it is shown.
        if (!isVisible() || fitting)
            return;
        fitting = true;
        const int bar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        // The window manager's frame, once it is known (the box is then moved, and fitted
        // again); none before, and none on a platform without one.
        QSize frame;
        if (const QWindow* window = windowHandle()) {
            const QMargins margins = window->frameMargins();
            frame = QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
        }
        QRect screen_area(0, 0, 1 << 20, 1 << 20);
        if (const QScreen* shown_on = screen())
            screen_area = shown_on->availableGeometry();
        const QSize room = screen_area.size() - frame;

        // The icon and the margins beside the text, as the layout has them now. A change of
        // the text's width lays the box out again, so it is set only when it changes.
        layout()->activate();
        const int text_now = shown->minimumWidth() > 0 ? shown->minimumWidth() : shown->minimumSizeHint().width();
        const int beside = layout()->totalMinimumSize().width() - text_now;
        int text = text_width(beside, room.width());
        int box_width = 0, box_height = 0;
        for (;;) {
            if (shown->minimumWidth() != text)
                shown->setMinimumWidth(text);
            layout()->activate();
            box_width = std::min(std::max(layout()->totalMinimumSize().width(), caption_width(bar)), room.width());
            box_height = layout()->totalHeightForWidth(box_width);
            // A text taller than the screen takes the whole width, for fewer lines.
            if (box_height <= room.height() || text >= room.width() - beside)
                break;
            text = room.width() - beside;
        }
        const QSize before = size();
        const QPoint centre = frameGeometry().center();
        setFixedSize(box_width, box_height);
        // A box that changed its size keeps its centre where the toolkit put it (over its
        // owner), and keeps within the screen.
        if (size() != before) {
            QRect placed(QPoint(), size() + frame);
            placed.moveCenter(centre);
            placed.moveRight(std::min(placed.right(), screen_area.right()));
            placed.moveBottom(std::min(placed.bottom(), screen_area.bottom()));
            placed.moveLeft(std::max(placed.left(), screen_area.left()));
            placed.moveTop(std::max(placed.top(), screen_area.top()));
            move(placed.topLeft());
        }
        fitting = false;
    }

    wrapped_text* shown = nullptr;
    bool fitting = false;
};

int show_box(hwnd owner, const std::string& text, const std::string& caption, unsigned style)
{
    whole_text_box box(icon_of(style), QString::fromLocal8Bit(caption.c_str()), QString::fromLocal8Bit(text.c_str()),
                       owner);
    box.setObjectName(QStringLiteral("plat_message_box"));
    if ((style & MB_TYPEMASK) == MB_YESNO) {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        box.setDefaultButton((style & MB_DEFMASK) == MB_DEFBUTTON2 ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? IDYES : IDNO;
    }
    box.setDefaultButton(box.addButton(QMessageBox::Ok));
    box.exec();
    return IDOK;
}

} // namespace

int message_box(hwnd owner, const std::string& text, const std::string& caption, unsigned style)
{
    if (!has_ui_thread()) {
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
        return 0;
    }
    int result = 0;
    if (!run_on_ui_thread([&] { result = show_box(owner, text, caption, style); }))
        return 0;
    return result;
}

} // namespace plat
