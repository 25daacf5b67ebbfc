// The wizard's pages as they are drawn: a group box draws its frame where the dialog template
// means it, so the controls that the template places inside the box lie inside the frame.
#include <QGroupBox>
#include <QImage>
#include <QTest>

#include "select_files_page.h"
#include "test_support.h"
#include "wizard_driver.h"
#include "wizard_program_support.h"

#include <memory>
#include <utility>
#include <vector>

using namespace wizard_driver;
using namespace wizard_test;

namespace {

// The frame that `box` draws in the picture of `page`: from each side of the box inwards,
// the first pixel that differs from the page's background beside the box. The top and the
// bottom are looked for near the right end, away from the caption.
QRect drawn_frame(const QImage& page, const QRect& box)
{
    const QRgb background = page.pixel(box.left() - 2, box.center().y());
    const int column = box.right() - 10;
    const int row = box.center().y();
    int top = box.top(), bottom = box.bottom(), left = box.left(), right = box.right();
    while (top < bottom && page.pixel(column, top) == background)
        ++top;
    while (bottom > top && page.pixel(column, bottom) == background)
        --bottom;
    while (left < right && page.pixel(left, row) == background)
        ++left;
    while (right > left && page.pixel(right, row) == background)
        --right;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

class wizard_page_layout_test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test_support::temp_dir> root;

private slots:
    void init()
    {
        root = std::make_unique<test_support::temp_dir>();
        use_home(*root);
    }
    void cleanup() { root.reset(); }

    void the_page_range_controls_lie_inside_their_group_box_frame()
    {
        QRect frame, box;
        int caption_height = 0;
        std::vector<std::pair<QString, QRect>> inside;
        script steps;
        to_select_files(steps).then("select files", on_page(select_files), [&] {
            QWidget* page = item(sel_file_page::range_edit)->parentWidget();
            auto* group = page->findChild<QGroupBox*>();
            box = group->geometry();
            caption_height = group->fontMetrics().height();
            frame = drawn_frame(page->grab().toImage(), box);
            for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (control != group && box.contains(control->geometry().center()))
                    inside.emplace_back(QString::fromStdString(plat::get_window_text(control)), control->geometry());
        });
        cancel_and_confirm(steps);
        QCOMPARE(run_wizard(steps), 0);

        // The frame's top line passes through the caption's line, not below it.
        QVERIFY2(frame.top() > box.top() && frame.top() < box.top() + caption_height,
                 qPrintable(QStringLiteral("frame top %1, box top %2").arg(frame.top()).arg(box.top())));
        QCOMPARE(inside.size(), std::size_t(5));
        for (const auto& [text, rect] : inside)
            QVERIFY2(frame.adjusted(1, 1, -1, -1).contains(rect),
                     qPrintable(QStringLiteral("'%1' at %2,%3 %4x%5 outside the frame %6,%7 %8x%9")
                                    .arg(text)
                                    .arg(rect.x())
                                    .arg(rect.y())
                                    .arg(rect.width())
                                    .arg(rect.height())
                                    .arg(frame.x())
                                    .arg(frame.y())
                                    .arg(frame.width())
                                    .arg(frame.height())));
    }
};

QTEST_MAIN(wizard_page_layout_test)
#include "wizard_page_layout_test.moc"
