// The wizard's start with a controls module that is too old: where a display can be reached
// the user sees why in an error box; where none can, the reason goes to the standard error
// stream. The program ends with -1 either way.
#include "message_table.h"

#include <QProcess>
#include <QTest>

class wizard_start_test : public QObject {
    Q_OBJECT

private slots:
    void a_module_too_old_is_reported_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("error_stream");
        const QString text = QString::fromLatin1(msg::common_controls_too_old);
        QTest::newRow("with a display: the box") << "offscreen" << "Error\n" + text + "\n" << "";
        QTest::newRow("without a display: the error stream") << "xcb" << "" << text;
    }
    void a_module_too_old_is_reported()
    {
        QFETCH(QString, platform);
        QFETCH(QString, box);
        QFETCH(QString, error_stream);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QLT_BINARY_DIR "/tests/gui/old_controls_start"), {});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 255);
        QCOMPARE(QString::fromLocal8Bit(program.readAllStandardOutput()), box);
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        if (!error_stream.isEmpty())
            QVERIFY2(errors.contains(error_stream), qPrintable(errors));
    }
};

QTEST_MAIN(wizard_start_test)
#include "wizard_start_test.moc"
