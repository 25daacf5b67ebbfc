#include "wizard_program_support.h"

// Qt's headers come first: the PDF library's headers define macros that clash with its names.
#include <QSettings>

#include "minimal_pdf.h"
#include "quillet_convertor.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace wizard_test {

void use_home(const test_support::temp_dir& root)
{
    std::filesystem::create_directories(root.path() / "home" / "Documents");
    std::filesystem::create_directories(root.path() / "config");
    setenv("HOME", root.file("home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", root.file("config").c_str(), 1);
    // Qt keeps the file dialog's history in settings whose folder it takes from the
    // environment once per program; they move with the test's home, not stay in the first one.
    const QString config = QString::fromStdString(root.file("config"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
}

std::string fixture(const std::string& name) { return std::string(QLT_FIXTURES_DIR) + "/" + name; }

std::string long_document(int pages)
{
    minimal_pdf::document doc;
    for (int k = 1; k <= pages; ++k)
        doc.pages.push_back(minimal_pdf::text_page({"Page " + std::to_string(k) + " of " + std::to_string(pages),
                                                    "The quick brown fox jumps over the lazy dog.",
                                                    "Pack my box with five dozen liquor jugs."}));
    return minimal_pdf::render(doc);
}

stored_settings load_settings()
{
    quillet_convertor converter;
    stored_settings result;
    result.all_present = converter.serialize(false);
    result.open_on_exit = converter.open_on_exit;
    result.src = converter.src;
    result.dest = converter.dest;
    result.pages = converter.pages;
    result.password = converter.password;
    return result;
}

void store_settings(const stored_settings& settings)
{
    quillet_convertor converter;
    converter.open_on_exit = settings.open_on_exit;
    converter.src = settings.src;
    converter.dest = settings.dest;
    converter.set_page_range(settings.pages);
    converter.password = settings.password;
}

int page_breaks(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\f')); }

} // namespace wizard_test
