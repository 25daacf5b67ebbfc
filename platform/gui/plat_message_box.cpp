#include "plat_message_box.h"

#include "plat_gui_constants.h"
#include "plat_ui_thread.h"

#include <QMessageBox>
#include <QPushButton>

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

int show_box(hwnd owner, const std::string& text, const std::string& caption, unsigned style)
{
    QMessageBox box(icon_of(style), QString::fromLocal8Bit(caption.c_str()), QString::fromLocal8Bit(text.c_str()),
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
