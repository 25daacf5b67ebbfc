// The Open and Save dialogs: where they open, what the Save dialog appends, the current
// directory around them, and the Open dialog's refusal of missing files.
#include "g_file_dialogs.h"
#include "gui_test_support.h"
#include "test_support.h"
#include "tk_exception.h"
#include "tk_folders.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include <filesystem>
#include <memory>
#include <unistd.h>

using gui_test::type_and_accept;
using gui_test::when_modal;

namespace {

const char text_filter[] = "Text Files (.txt)\0*.txt\0All Files (*.*)\0*.*\0";
const file_dialog_texts texts{text_filter, "Select the destination file"};

// Chooses `name` in the dialog that is about to open.
void choose(const QString& name)
{
    when_modal([name](QWidget* window) { type_and_accept(qobject_cast<QFileDialog*>(window), name); });
}

std::string cwd()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}

} // namespace

class file_dialogs_test : public QObject {
    Q_OBJECT

private:
    // The file dialog keeps its history in the user's configuration; the tests' own goes to
    // a home of their own, not to the user's nor to another test program's running beside.
    std::unique_ptr<test_support::settings_home> home;

private slots:
    void initTestCase() { home = std::make_unique<test_support::settings_home>(); }
    void cleanupTestCase() { home.reset(); }

    void the_save_dialog_appends_its_extension_unless_the_name_holds_it_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no extension") << "txt" << "notes" << "notes.txt";
        QTest::newRow("dotted default") << ".txt" << "notes" << "notes.txt";
        QTest::newRow("has it") << "txt" << "notes.txt" << "notes.txt";
        QTest::newRow("other case") << "txt" << "notes.TXT" << "notes.TXT.txt";
        QTest::newRow("inside the name") << "txt" << "my.txt.old" << "my.txt.old";
        QTest::newRow("in the folder") << "txt" << "d.txt/notes" << "d.txt/notes";
        QTest::newRow("empty default, no dot") << "" << "notes" << "notes.";
        QTest::newRow("empty default, a dot") << "" << "a.b" << "a.b";
    }
    void the_save_dialog_appends_its_extension_unless_the_name_holds_it()
    {
        QFETCH(QString, ext);
        QFETCH(QString, chosen);
        QFETCH(QString, expected);
        test_support::temp_dir folder;
        const std::string ext_text = ext.toStdString();
        save_file_dialog dialog(nullptr, &texts, folder.file("start.txt"), ext_text.c_str());
        // The extension is looked for in the whole name, folder included, so the names are
        // chosen in a folder whose path holds no dot, whatever the temporary folder's name:
        // a folder at the root that need not exist, since the Save dialog takes any name.
        const QString parent = QStringLiteral("/qlt-save-dialog-test-%1/").arg(getpid());
        choose(parent + chosen);
        QVERIFY(dialog.show());
        QCOMPARE(QString::fromStdString(dialog.get_file_name()), parent + expected);
    }

    void a_dialog_opens_in_the_folder_of_its_name_with_the_base_name()
    {
        test_support::temp_dir folder;
        const std::string outside = cwd();
        save_file_dialog dialog(nullptr, &texts, folder.file("report.txt"), "txt");
        QString directory, name_box;
        std::string cwd_inside;
        when_modal([&](QWidget* window) {
            auto* file_dialog = qobject_cast<QFileDialog*>(window);
            directory = file_dialog->directory().absolutePath();
            if (auto* edit = file_dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name_box = edit->text();
            cwd_inside = cwd();
            file_dialog->reject();
        });
        QVERIFY(!dialog.show());
        QCOMPARE(directory, QString::fromStdString(folder.path().string()));
        QCOMPARE(name_box, QStringLiteral("report"));
        QCOMPARE(cwd_inside + "/", folder.path().string() + "/");
        QCOMPARE(cwd(), outside);
    }

    void an_empty_name_opens_in_the_programs_folder()
    {
        open_file_dialog dialog(nullptr, &texts, "");
        QCOMPARE(std::string(dialog.initial_dir), tk_get_module_dir());
        QCOMPARE(std::string(dialog.file_name), std::string());
    }

    void the_open_dialog_takes_existing_files_only()
    {
        test_support::temp_dir folder;
        test_support::write_file(folder.file("there.pdf"), "%PDF");
        open_file_dialog dialog(nullptr, &texts, folder.file("x.pdf"));
        bool refused_missing = false;
        when_modal([&](QWidget* window) {
            auto* file_dialog = qobject_cast<QFileDialog*>(window);
            // The missing name is refused with a note; the dialog stays.
            when_modal([](QWidget* note) { qobject_cast<QMessageBox*>(note)->accept(); });
            type_and_accept(file_dialog, QString::fromStdString(folder.file("missing.pdf")));
            refused_missing = file_dialog->isVisible();
            type_and_accept(file_dialog, QString::fromStdString(folder.file("there.pdf")));
        });
        QVERIFY(dialog.show());
        QVERIFY(refused_missing);
        QCOMPARE(dialog.get_file_name(), folder.file("there.pdf"));
    }

    void a_null_default_extension_is_an_internal_error()
    {
        try {
            save_file_dialog dialog(nullptr, &texts, "x", nullptr);
            QFAIL("no assertion");
        } catch (const tk_mail_assertion& e) {
            QCOMPARE(std::string(e.what()), tk_assertion_code("g_f_dlg", 95));
        }
    }
};

QTEST_MAIN(file_dialogs_test)
#include "file_dialogs_test.moc"
