#include "plat_property_sheet.h"

#include "plat_dialog_builder.h"
#include "plat_gui_constants.h"
#include "plat_ui_thread.h"
#include "plat_window_host.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QKeyEvent>

namespace plat {

namespace {

// The sheet's fixed measures, in dialog units of the sheet's font.
constexpr int page_cx = 317;
constexpr int page_cy = 193;
constexpr int interior_cy = 143;
constexpr int button_cx = 50;
constexpr int button_cy = 14;
constexpr int margin = 7;

class sheet_window;

// A page's window: the widgets of its template.
class page_window : public QWidget, public window_host {
public:
    page_window(QWidget* parent, prop_sheet_page& record) : QWidget(parent), window_host(this), page(record)
    {
        setObjectName(QStringLiteral("plat_page_%1").arg(record.resource->id));
        build_dialog(this, *record.resource);
        map = record.object;
        handle_slot = &record.object->window;
        record.object->window = this;
    }
    ~page_window() override { map = nullptr; }

    prop_sheet_page& page;
};

// The area above the buttons: paints the watermark of exterior pages and the header band
// of interior pages; the current page's window lies on top of it.
class page_area : public QWidget {
public:
    page_area(QWidget* parent, const prop_sheet_header& header_) : QWidget(parent), header(header_) {}

    const prop_sheet_page* current = nullptr;
    int band_height = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (current == nullptr)
            return;
        QPainter painter(this);
        const bool wizard97 = (header.flags & PSH_WIZARD97) != 0;
        if ((current->flags & PSP_HIDEHEADER) != 0 && wizard97) {
            painter.fillRect(rect(), palette().base());
            if (header.watermark != nullptr && (header.flags & PSH_WATERMARK) != 0) {
                const QPixmap& mark = *header.watermark;
                if ((header.flags & PSH_STRETCHWATERMARK) != 0)
                    painter.drawPixmap(QRect(0, 0, mark.width(), height()), mark);
                else
                    painter.drawPixmap(0, 0, mark);
            }
            return;
        }
        if (!wizard97 || (header.flags & PSH_HEADER) == 0)
            return;
        const QRect band(0, 0, width(), band_height);
        painter.fillRect(band, palette().base());
        painter.setPen(palette().mid().color());
        painter.drawLine(0, band_height - 1, width(), band_height - 1);
        const dialog_units units(font());
        int text_right = width() - units.x(margin);
        if (header.header != nullptr) {
            const QPixmap& picture = *header.header;
            const int left = width() - units.x(margin) - picture.width();
            painter.drawPixmap(left, (band_height - picture.height()) / 2, picture);
            text_right = left - units.x(margin);
        }
        painter.setPen(palette().text().color());
        QFont bold = font();
        bold.setBold(true);
        painter.setFont(bold);
        const int line = QFontMetrics(bold).height();
        if ((current->flags & PSP_USEHEADERTITLE) != 0)
            painter.drawText(QRect(units.x(15), units.y(6), text_right - units.x(15), line), Qt::AlignLeft | Qt::AlignTop,
                             QString::fromLocal8Bit(current->header_title.c_str()));
        painter.setFont(font());
        if ((current->flags & PSP_USEHEADERSUBTITLE) != 0)
            painter.drawText(QRect(units.x(25), units.y(6) + line + units.y(2), text_right - units.x(25), band_height),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                             QString::fromLocal8Bit(current->header_subtitle.c_str()));
    }

private:
    const prop_sheet_header& header;
};

class sheet_window : public QDialog, public window_host {
public:
    explicit sheet_window(const prop_sheet_header& header_)
        : QDialog(header_.parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
          window_host(this), header(header_), pages(header_.pages.size(), nullptr)
    {
        setObjectName(QStringLiteral("plat_property_sheet"));
        setWindowTitle(QString::fromLocal8Bit(header.caption.c_str()));
        setFont(dialog_font("MS Shell Dlg", 8));
        const dialog_units units(font());
        const int width = units.x(page_cx);
        area = new page_area(this, header);
        area->setGeometry(0, 0, width, units.y(page_cy));
        area->band_height = units.y(page_cy - interior_cy);

        auto* line = new QFrame(this);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setGeometry(0, units.y(page_cy), width, 2);

        const int row = units.y(page_cy) + 2 + units.y(margin);
        const int bw = units.x(button_cx);
        const int bh = units.y(button_cy);
        const bool has_help = (header.flags & PSH_HASHELP) != 0;
        // Right to left: Help (when shown), Cancel, then Next and Finish in one place with
        // Back beside them.
        const int help_left = width - units.x(margin) - bw;
        const int cancel_left = has_help ? help_left - units.x(margin) - bw : help_left;
        const int next_left = cancel_left - units.x(margin) - bw;
        // Made in the tab order, which follows the page's controls: the page windows are
        // made later and each joins the focus chain as one block of its own.
        back = add_button(ID_PSBACK, "< &Back", next_left - bw, row, bw, bh);
        next = add_button(ID_PSNEXT, "&Next >", next_left, row, bw, bh);
        finish = add_button(ID_PSFINISH, "Finish", next_left, row, bw, bh);
        cancel = add_button(IDCANCEL, "Cancel", cancel_left, row, bw, bh);
        help = add_button(IDHELP, "&Help", help_left, row, bw, bh);
        help->setVisible(has_help);
        setFixedSize(width, row + bh + units.y(margin));
        apply_buttons(PSWIZB_BACK | PSWIZB_NEXT);
    }

    ~sheet_window() override
    {
        map = nullptr;
        // The page windows end with the sheet.
        for (page_window* page : pages)
            delete page;
    }

    // Shows the page at `index`, or the first one after it in `direction` that accepts
    // its activation. False when no page accepted or the current page refused to be left.
    bool set_current(int index, int direction)
    {
        const int count = static_cast<int>(header.pages.size());
        if (index < 0 || index >= count)
            return false;
        if (current >= 0 && notify(current, PSN_KILLACTIVE) != 0)
            return false;
        for (int tries = 0; index >= 0 && index < count && tries < count; ++tries) {
            page_window* window = page_at(index);
            update_help_button(index);
            const lresult answer = notify(index, PSN_SETACTIVE);
            if (answer == 0) {
                show_page(index);
                return true;
            }
            if (answer == -1) {
                window->hide();
                index += direction;
                continue;
            }
            index = index_of(static_cast<int>(answer));
        }
        if (current >= 0)
            update_help_button(current);
        return false;
    }

    lresult default_proc(unsigned msg, wparam w, lparam l) override
    {
        switch (msg) {
        case PSM_SETWIZBUTTONS:
            apply_buttons(static_cast<unsigned>(l));
            return 0;
        case PSM_SETCURSELID:
            return set_current(index_of(static_cast<int>(l)), 1) ? 1 : 0;
        case PSM_GETCURRENTPAGEHWND:
            return current >= 0 ? reinterpret_cast<lresult>(pages[static_cast<std::size_t>(current)]) : 0;
        case PSM_PRESSBUTTON:
            press(static_cast<int>(w));
            return 0;
        case WM_SETICON:
            if (const auto* icon = reinterpret_cast<const QIcon*>(l))
                setWindowIcon(*icon);
            return 0;
        case WM_COMMAND:
            command(static_cast<int>(loword(w)));
            return 0;
        default:
            return 0;
        }
    }

protected:
    // F1 reaches the sheet from whichever control has the focus (the controls leave it to
    // their window).
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
            guarded_dispatch([this] { send_message(this, WM_HELP, 0, 0); });
            return;
        }
        QDialog::keyPressEvent(event);
    }

    void reject() override
    {
        if (cancel->isEnabled())
            guarded_dispatch([this] { press(PSBTN_CANCEL); });
    }

    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        reject();
    }

private:
    QPushButton* add_button(int id, const char* text, int x, int y, int w, int h)
    {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        set_dlg_ctrl_id(button, id);
        button->setGeometry(x, y, w, h);
        // The focused button is the default one while it has the focus: Enter presses it.
        button->setAutoDefault(true);
        QObject::connect(button, &QPushButton::clicked, this, [button] { notify_parent(button, BN_CLICKED); });
        return button;
    }

    void command(int id)
    {
        switch (id) {
        case ID_PSBACK:
            press(PSBTN_BACK);
            break;
        case ID_PSNEXT:
            press(PSBTN_NEXT);
            break;
        case ID_PSFINISH:
            press(PSBTN_FINISH);
            break;
        case IDCANCEL:
            press(PSBTN_CANCEL);
            break;
        case IDHELP:
            press(PSBTN_HELP);
            break;
        default:
            break;
        }
    }

    void press(int button)
    {
        if (current < 0)
            return;
        switch (button) {
        case PSBTN_BACK:
            if (back->isEnabled())
                move(PSN_WIZBACK, -1);
            break;
        case PSBTN_NEXT:
            if (next->isEnabled() && !next->isHidden())
                move(PSN_WIZNEXT, 1);
            break;
        case PSBTN_FINISH:
            if (finish->isEnabled() && !finish->isHidden() && notify(current, PSN_WIZFINISH) == 0)
                done(1);
            break;
        case PSBTN_CANCEL:
            if (notify(current, PSN_QUERYCANCEL) == 0) {
                for (int i = 0; i < static_cast<int>(pages.size()); ++i)
                    if (pages[static_cast<std::size_t>(i)] != nullptr)
                        notify(i, PSN_RESET);
                done(0);
            }
            break;
        case PSBTN_HELP:
            if (help->isEnabled() && !help->isHidden())
                notify(current, PSN_HELP);
            break;
        default:
            break;
        }
    }

    void move(int code, int direction)
    {
        const lresult answer = notify(current, code);
        if (answer == -1)
            return;
        const int target = answer == 0 ? current + direction : index_of(static_cast<int>(answer));
        set_current(target, direction);
    }

    lresult notify(int index, int code)
    {
        page_window* window = page_at(index);
        nmhdr header_{this, 0, code};
        return send_message(window, WM_NOTIFY, 0, reinterpret_cast<lparam>(&header_));
    }

    page_window* page_at(int index)
    {
        const auto slot = static_cast<std::size_t>(index);
        if (pages[slot] == nullptr) {
            prop_sheet_page& record = *header.pages[slot];
            auto* window = new page_window(area, record);
            window->hide();
            const bool exterior = (record.flags & PSP_HIDEHEADER) != 0 || (header.flags & PSH_WIZARD97) == 0;
            window->move(0, exterior ? 0 : area->band_height);
            pages[slot] = window;
        }
        return pages[slot];
    }

    int index_of(int dialog_id) const
    {
        for (std::size_t i = 0; i < header.pages.size(); ++i)
            if (header.pages[i]->resource != nullptr && header.pages[i]->resource->id == dialog_id)
                return static_cast<int>(i);
        return -1;
    }

    void show_page(int index)
    {
        page_window* shown = pages[static_cast<std::size_t>(index)];
        if (current >= 0 && current != index)
            pages[static_cast<std::size_t>(current)]->hide();
        current = index;
        area->current = &shown->page;
        shown->show();
        shown->raise();
        area->update();
    }

    void update_help_button(int index)
    {
        help->setEnabled((header.pages[static_cast<std::size_t>(index)]->flags & PSP_HASHELP) != 0);
    }

    void apply_buttons(unsigned mask)
    {
        back->setEnabled((mask & PSWIZB_BACK) != 0);
        const bool finishing = (mask & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
        next->setVisible(!finishing);
        next->setEnabled((mask & PSWIZB_NEXT) != 0);
        finish->setVisible(finishing);
        finish->setEnabled((mask & PSWIZB_FINISH) != 0);
        next->setDefault(!finishing);
        finish->setDefault(finishing);
    }

    const prop_sheet_header& header;
    page_area* area = nullptr;
    QPushButton* back = nullptr;
    QPushButton* next = nullptr;
    QPushButton* finish = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* help = nullptr;
    // The page windows by index, each made when its page is first activated.
    std::vector<page_window*> pages;
    int current = -1;
};

int run_sheet(const prop_sheet_header& header)
{
    sheet_window sheet(header);
    if (header.callback)
        header.callback(&sheet, PSCB_INITIALIZED);
    const int start = header.start_page >= 0 && header.start_page < static_cast<int>(header.pages.size()) ? header.start_page : 0;
    if (!sheet.set_current(start, 1))
        return -1;
    return sheet.exec();
}

} // namespace

int property_sheet(const prop_sheet_header& header)
{
    if (header.pages.empty())
        return -1;
    for (const prop_sheet_page* page : header.pages)
        if (page == nullptr || page->resource == nullptr || page->object == nullptr)
            return -1;
    int result = -1;
    if (!run_on_ui_thread([&] { result = run_sheet(header); }))
        return -1;
    return result;
}

} // namespace plat
