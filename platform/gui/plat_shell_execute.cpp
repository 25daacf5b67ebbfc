#include "plat_shell_execute.h"

#include "plat_ui_thread.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace plat {

bool shell_execute(hwnd, const std::string& verb, const std::string& file, const std::string&, const std::string&,
                   int)
{
    if (!verb.empty() && verb != "open")
        return false;
    std::string path = file;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    if (path.empty())
        return false;
    const QUrl url = QUrl::fromLocalFile(QFileInfo(QString::fromLocal8Bit(path.c_str())).absoluteFilePath());
    bool taken = false;
    // The desktop's handlers belong to the user-interface thread.
    run_on_ui_thread([&] { taken = QDesktopServices::openUrl(url); });
    return taken;
}

} // namespace plat
