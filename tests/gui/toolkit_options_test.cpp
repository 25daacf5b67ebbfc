// The wizard takes no options: the widget toolkit's own (-reverse, -style, -platform,
// -name) on its command line change nothing that it shows or where it shows it.
#include "test_support.h"

#include <QProcess>
#include <QTest>

#include <filesystem>

namespace {

// What the wizard reports on its welcome page when started with `options`.
QString report_with(const QStringList& options)
{
    const test_support::temp_dir root;
    std::filesystem::create_directories(root.path() / "home");
    std::filesystem::create_directories(root.path() / "config");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(root.file("home")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(root.file("config")));
    QProcess wizard;
    wizard.setProcessEnvironment(environment);
    wizard.start(QStringLiteral(QLT_BINARY_DIR "/tests/gui/toolkit_options_wizard"), options);
    if (!wizard.waitForFinished(60000)) {
        wizard.kill();
        wizard.waitForFinished(-1);
        return QStringLiteral("still running");
    }
    const QString said = QString::fromLocal8Bit(wizard.readAllStandardOutput());
    if (wizard.exitStatus() != QProcess::NormalExit || wizard.exitCode() != 0)
        return said + QStringLiteral("ended with %1\n").arg(wizard.exitCode())
               + QString::fromLocal8Bit(wizard.readAllStandardError());
    return said;
}

} // namespace

class toolkit_options_test : public QObject {
    Q_OBJECT

private:
    QString plain;

private slots:
    void initTestCase()
    {
        plain = report_with({});
        QVERIFY2(plain.startsWith(QStringLiteral("platform offscreen\n")), qPrintable(plain));
    }

    void toolkit_options_change_nothing_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("-reverse") << QStringList{"-reverse"};
        QTest::newRow("-style windows") << QStringList{"-style", "windows"};
        QTest::newRow("-style=windows") << QStringList{"-style=windows"};
        QTest::newRow("-platform minimal") << QStringList{"-platform", "minimal"};
        QTest::newRow("-name other") << QStringList{"-name", "other"};
        QTest::newRow("all at once") << QStringList{"-reverse", "-style", "windows", "-name", "other"};
    }
    void toolkit_options_change_nothing()
    {
        QFETCH(QStringList, options);
        QCOMPARE(report_with(options), plain);
    }
};

QTEST_MAIN(toolkit_options_test)
#include "toolkit_options_test.moc"
