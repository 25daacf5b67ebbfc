#include "plat_file_dialog.h"

#include "plat_gui_constants.h"
#include "plat_ui_thread.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QStringList>

#include <climits>
#include <cstring>
#include <unistd.h>

namespace plat {

namespace {

// The system's "*.*" is every file; here that is "*". Patterns are separated by ";".
QString qt_patterns(const char* patterns)
{
    QStringList result;
    for (const QString& one : QString::fromLocal8Bit(patterns).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString pattern = one.trimmed();
        result += pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
    }
    return result.join(QLatin1Char(' '));
}

// The filter pairs as the toolkit's name filters: "description (patterns)"; the
// description alone is shown.
QStringList name_filters(const char* filter)
{
    QStringList result;
    if (filter == nullptr)
        return result;
    for (const char* p = filter; *p != '\0';) {
        const char* description = p;
        p += std::strlen(p) + 1;
        if (*p == '\0')
            break;
        const char* patterns = p;
        p += std::strlen(p) + 1;
        result += QStringLiteral("%1 (%2)").arg(QString::fromLocal8Bit(description), qt_patterns(patterns));
    }
    return result;
}

// A name longer than a name in `folder` may be, as the system counts it (in bytes).
bool longer_than_the_system_allows(const QFileInfo& name)
{
    long most = ::pathconf(QFile::encodeName(name.absolutePath()).constData(), _PC_NAME_MAX);
    if (most < 0)
        most = NAME_MAX;
    return QFile::encodeName(name.fileName()).size() > most;
}

// The toolkit's dialog stays open, saying nothing, when a new name is longer than the
// system allows; this one closes and hands the name on, so that its caller can tell why no
// file is made of it.
class save_dialog_window : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    QString too_long;

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (acceptMode() == AcceptSave && !chosen.isEmpty()) {
            const QFileInfo name(chosen.front());
            if (!name.exists() && longer_than_the_system_allows(name)) {
                too_long = chosen.front();
                done(Rejected);
                return;
            }
        }
        QFileDialog::accept();
    }
};

bool run_file_dialog(open_file_name& block, bool save)
{
    block.too_long.clear();
    save_dialog_window dialog(block.owner);
    dialog.setObjectName(QStringLiteral("plat_file_dialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode((block.flags & OFN_FILEMUSTEXIST) != 0 ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    if (block.title != nullptr)
        dialog.setWindowTitle(QString::fromLocal8Bit(block.title));
    const QStringList filters = name_filters(block.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    QString folder = QString::fromLocal8Bit(block.initial_dir != nullptr ? block.initial_dir : "");
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::currentPath();
    dialog.setDirectory(folder);
    if (block.file != nullptr && block.file[0] != '\0')
        dialog.selectFile(QString::fromLocal8Bit(block.file));
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (!dialog.too_long.isEmpty()) {
        block.too_long = QDir::toNativeSeparators(dialog.too_long).toLocal8Bit().toStdString();
        return false;
    }
    if (!accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || block.file == nullptr)
        return false;
    const QByteArray name = QDir::toNativeSeparators(chosen.front()).toLocal8Bit();
    if (static_cast<unsigned>(name.size()) + 1 > block.max_file) {
        block.too_long = name.toStdString();
        return false;
    }
    std::memcpy(block.file, name.constData(), static_cast<std::size_t>(name.size()) + 1);
    return true;
}

bool file_dialog(open_file_name& block, bool save)
{
    bool chosen = false;
    if (!run_on_ui_thread([&] { chosen = run_file_dialog(block, save); }))
        return false;
    return chosen;
}

} // namespace

bool get_open_file_name(open_file_name& block) { return file_dialog(block, false); }
bool get_save_file_name(open_file_name& block) { return file_dialog(block, true); }

} // namespace plat
