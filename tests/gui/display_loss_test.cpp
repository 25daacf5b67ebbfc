// The wizard losing its display, as at a logout or when a remote session closes: its X
// server ends while the welcome page, the select-files page or a file dialog is up. The
// wizard ends within seconds with the exit status 1, also when it writes to its broken
// connection before it notices the loss (the write is made to happen every time: the wizard
// waits for the test to say that the server has ended, then writes); it is not killed by a
// signal. Every wait has a deadline, and a process still running at the end of a case is
// killed.
#include "test_support.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>

#include <filesystem>
#include <optional>

#include <unistd.h>

namespace {

// Long enough for a busy machine: each wait ends as soon as what it waits for has happened.
constexpr int start_timeout_ms = 30000;
constexpr int end_timeout_ms = 30000;
// Display numbers tried before the test gives up on an X server of its own.
constexpr int attempts = 20;

// The next line of the process's standard output, without its line end; none when the
// process ends or the deadline passes first.
std::optional<QByteArray> next_line(QProcess& process, QDeadlineTimer deadline)
{
    while (!process.canReadLine()) {
        if (process.state() == QProcess::NotRunning || deadline.hasExpired())
            return std::nullopt;
        process.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
    }
    return process.readLine().trimmed();
}

void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(end_timeout_ms)) {
        process.kill();
        process.waitForFinished(-1);
    }
}

// An X server of the test's own, on a display number the test names itself: servers left
// to choose a free number race with each other when copies of the test start at once. A
// named number is taken through the server's lock file, atomically; a server that finds it
// taken ends at once, and the next number is tried. Once clients can connect, the server
// writes the number to its standard output.
class x_server {
public:
    x_server()
    {
        // Each test process starts from a number of its own, and no number is used twice.
        static int next_number = 1000 + static_cast<int>(::getpid() % 1000) * 8;
        for (int attempt = 0; attempt < attempts && display.isEmpty(); ++attempt) {
            stop(server);
            server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(next_number++), QStringLiteral("-displayfd"),
                                                  QStringLiteral("1"), QStringLiteral("-nolisten"),
                                                  QStringLiteral("tcp"), QStringLiteral("-screen"),
                                                  QStringLiteral("0"), QStringLiteral("1024x768x24")});
            if (const auto said = next_line(server, QDeadlineTimer(start_timeout_ms)); said && !said->isEmpty())
                display = QStringLiteral(":") + QString::fromLatin1(*said);
        }
    }
    ~x_server() { stop(server); }
    x_server(const x_server&) = delete;
    x_server& operator=(const x_server&) = delete;

    void end() { stop(server); }
    QByteArray errors() { return server.readAllStandardError(); }

    // Empty when the server did not come up.
    QString display;

private:
    QProcess server;
};

// The program's own end, given as its exit status or as the signal that ended it.
QByteArray how_it_ended(QProcess& program)
{
    if (program.state() != QProcess::NotRunning)
        return "still running";
    if (program.exitStatus() == QProcess::CrashExit)
        return "killed by a signal";
    return "exit status " + QByteArray::number(program.exitCode());
}

} // namespace

class display_loss_test : public QObject {
    Q_OBJECT

private slots:
    void the_wizard_ends_when_its_display_goes_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::newRow("welcome page") << "welcome";
        QTest::newRow("select-files page") << "select_files";
        QTest::newRow("file dialog") << "file_dialog";
    }
    void the_wizard_ends_when_its_display_goes()
    {
        QFETCH(QString, shown);
        x_server x;
        QVERIFY2(!x.display.isEmpty(), x.errors().constData());

        const test_support::temp_dir root;
        std::filesystem::create_directories(root.path() / "home");
        std::filesystem::create_directories(root.path() / "config");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), x.display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("HOME"), QString::fromStdString(root.file("home")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(root.file("config")));
        QProcess wizard;
        wizard.setProcessEnvironment(environment);
        wizard.start(QStringLiteral(QLT_BINARY_DIR "/tests/gui/display_loss_wizard"), {shown});
        const auto said = next_line(wizard, QDeadlineTimer(start_timeout_ms));
        const bool ready = said && *said == "ready";
        if (!ready)
            stop(wizard);
        QVERIFY2(ready, wizard.readAllStandardError().constData());

        x.end();
        // The server has ended: the wizard may now write to its connection.
        wizard.write("gone\n");
        wizard.closeWriteChannel();
        const bool ended = wizard.waitForFinished(end_timeout_ms);
        const QByteArray end = how_it_ended(wizard);
        stop(wizard);
        QVERIFY2(ended, end.constData());
        QVERIFY2(wizard.exitStatus() == QProcess::NormalExit && wizard.exitCode() == 1,
                 (end + "\n" + wizard.readAllStandardError()).constData());
    }
};

QTEST_MAIN(display_loss_test)
#include "display_loss_test.moc"
