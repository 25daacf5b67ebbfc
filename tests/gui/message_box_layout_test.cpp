// Message boxes show their whole text within the screen, whatever its size (the test runs on
// a small and on a large one): a long word such as a path breaks where it must, the box
// grows in height instead, and the box's own text, which copying it takes, stays whole.
#include "gui_test_support.h"
#include "message_table.h"
#include "plat_gui_constants.h"
#include "plat_message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <cmath>

using gui_test::when_modal;

// What the box on the screen shows, as the test finds it.
struct box_layout {
    QRect frame;         // the box with its window frame, on the screen
    QRect screen;        // the screen's area for windows
    QRect text;          // the text within the box
    int text_needs = 0;  // the height that the text needs in its width
    int lines = 0;       // the lines that the text takes
    int lines_needed = 0; // the fewest lines that show the text whole in its width
    bool label_shown = true;
    QString copied;
};

class message_box_layout_test : public QObject {
    Q_OBJECT

private slots:
    void a_box_shows_its_whole_text_within_the_screen_data()
    {
        QTest::addColumn<QString>("text");
        // Whether the text takes more lines than its own line ends make.
        QTest::addColumn<bool>("breaks");
        const QString long_name =
            QStringLiteral("/sys/no-such-folder/very_long_profile_name_") + QString(260, QLatin1Char('x'));
        QTest::newRow("a short text") << "Invalid page range" << false;
        QTest::newRow("two short lines") << "Source file does not exist.\r\nPlease verify the correct file name was given."
                                         << false;
        QTest::newRow("a profile of a long name")
            << QString::fromLatin1(msg::profile_not_saved) + "\n" + long_name + ".qlp\nNo such file or directory"
            << true;
        QTest::newRow("a path wider than any screen") << "/" + QString(3000, QLatin1Char('p')) << true;
        QTest::newRow("a long sentence") << QStringLiteral("many words ").repeated(120).trimmed() << true;
    }
    void a_box_shows_its_whole_text_within_the_screen()
    {
        QFETCH(QString, text);
        QFETCH(bool, breaks);
        box_layout seen;
        when_modal([&seen](QWidget* box) {
            seen.frame = box->frameGeometry();
            seen.screen = box->screen()->availableGeometry();
            if (auto* shown = box->findChild<QWidget*>(QStringLiteral("plat_message_text"))) {
                seen.text = QRect(shown->mapTo(box, QPoint()), shown->size());
                seen.text_needs = shown->heightForWidth(shown->width());
                const QFontMetrics metrics(shown->font());
                seen.lines = shown->height() / metrics.height();
                // A line of the text takes at least as many lines as its width needs.
                for (QString line : qobject_cast<QMessageBox*>(box)->text().split(QLatin1Char('\n'))) {
                    line.remove(QLatin1Char('\r'));
                    const double width = metrics.horizontalAdvance(line);
                    seen.lines_needed += std::max(1, static_cast<int>(std::ceil(width / shown->width())));
                }
            }
            if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
                seen.label_shown = label->isVisible();
            if (auto* message_box = qobject_cast<QMessageBox*>(box))
                seen.copied = message_box->text();
            gui_test::press_button(box, QStringLiteral("OK"));
        });
        plat::message_box(nullptr, text.toStdString(), "Lumetra 3.3 Error", plat::MB_OK | plat::MB_ICONERROR);

        const auto where = [&seen] {
            return QStringLiteral("box %1,%2 %3x%4 on a screen of %5x%6, text %7x%8 needing %9")
                .arg(seen.frame.x()).arg(seen.frame.y()).arg(seen.frame.width()).arg(seen.frame.height())
                .arg(seen.screen.width()).arg(seen.screen.height()).arg(seen.text.width()).arg(seen.text.height())
                .arg(seen.text_needs);
        };
        QVERIFY2(!seen.text.isEmpty(), "the box shows no text of its own");
        QVERIFY2(seen.screen.contains(seen.frame), qPrintable(where()));
        QVERIFY2(QRect(QPoint(), seen.frame.size()).contains(seen.text), qPrintable(where()));
        QVERIFY2(seen.text.height() >= seen.text_needs, qPrintable(where()));
        QVERIFY2(seen.lines >= seen.lines_needed, qPrintable(QStringLiteral("%1 lines, but %2 needed")
                                                                 .arg(seen.lines).arg(seen.lines_needed)));
        QCOMPARE(seen.lines > text.count(QLatin1Char('\n')) + 1, breaks);
        QVERIFY(!seen.label_shown);
        QCOMPARE(seen.copied, text);
    }
};

QTEST_MAIN(message_box_layout_test)
#include "message_box_layout_test.moc"
