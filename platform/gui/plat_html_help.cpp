#include "plat_html_help.h"

#include "plat_gui_constants.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace plat {

bool html_help(hwnd, const std::string& file, unsigned command, std::uintptr_t data)
{
    const QString viewer = QStandardPaths::findExecutable(QString::fromLatin1(help_viewer));
    if (viewer.isEmpty())
        return false;
    QStringList arguments;
    if (command == HH_HELP_CONTEXT)
        arguments << QStringLiteral("-c") << QString::number(static_cast<qulonglong>(data));
    arguments << QString::fromLocal8Bit(file.c_str());
    return QProcess::startDetached(viewer, arguments);
}

} // namespace plat
