// Not a test by itself: the wizard's start with a controls module of version 5.79, one below
// what it needs, run by wizard_start_test. When the start shows a box, the box's caption and
// text go to the standard output stream and its OK button is pressed.
#include "gui_test_support.h"
#include "quillet_entry.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

void answer(QWidget* box)
{
    std::printf("%s\n%s\n", qPrintable(box->windowTitle()), qPrintable(box->property("text").toString()));
    std::fflush(stdout);
    gui_test::press_button(box, QStringLiteral("OK"));
}

// Runs while the start makes the application object: from then on a watch looks for the box.
void watch_for_the_box()
{
    auto* watch = new QTimer(QCoreApplication::instance());
    watch->setInterval(10);
    QObject::connect(watch, &QTimer::timeout, watch, [watch] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr || !box->isVisible())
            return;
        watch->stop();
        answer(box);
    });
    watch->start();
}

} // namespace

int main(int argc, char** argv)
{
    qAddPreRoutine(watch_for_the_box);
    require_common_controls(0x5004F, argc, argv);
    std::printf("the check let the start go on\n");
    return 0;
}
