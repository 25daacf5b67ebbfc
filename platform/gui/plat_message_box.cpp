#include "plat_message_box.h"

#include "plat_gui_constants.h"
#include "plat_ui_thread.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

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

// The toolkit sizes a box to its text and buttons alone, so that a window manager cuts a
// longer caption short ("Lume... Error"). This box is at least as wide as its caption needs
// in the caption's font, with room for the title bar's icon and buttons, and never wider
// than the screen.
class captioned_box : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    bool event(QEvent* e) override
    {
        const bool result = QMessageBox::event(e);
        // The toolkit fixes the box's size again whenever its layout changes.
        if (e->type() == QEvent::LayoutRequest)
            widen();
        return result;
    }
    void showEvent(QShowEvent* e) override
    {
        QMessageBox::showEvent(e);
        widen();
    }

private:
    void widen()
    {
        // A hidden box is sized again when it is shown.
        if (!isVisible())
            return;
        const int bar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        // Window managers commonly draw the caption in bold, with an icon before it and
        // three buttons after it, each about a bar's height wide, and a margin around.
        QFont caption_font = QApplication::font("QMdiSubWindowTitleBar");
        caption_font.setBold(true);
        int wanted = QFontMetrics(caption_font).horizontalAdvance(windowTitle()) + 6 * bar;
        if (const QScreen* shown_on = screen())
            wanted = std::min(wanted, shown_on->availableGeometry().width());
        if (width() >= wanted)
            return;
        const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(wanted) : this->height();
        setFixedSize(wanted, height);
    }
};

int show_box(hwnd owner, const std::string& text, const std::string& caption, unsigned style)
{
    captioned_box box(icon_of(style), QString::fromLocal8Bit(caption.c_str()), QString::fromLocal8Bit(text.c_str()),
                      QMessageBox::NoButton, owner);
    box.setObjectName(QStringLiteral("plat_message_box"));
    box.setTextFormat(Qt::PlainText);
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
