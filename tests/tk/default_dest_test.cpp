#include "tk_default_dest.h"

#include "path_test_support.h"
#include "test_support.h"
#include "tk_folders.h"
#include "tk_log.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using path_test::env_guard;
using path_test::expand;

// The current directory '@' and the home folder '~' lie in a fresh folder; the
// documents folder is at its default, '~/Documents'.
class destination {
protected:
    destination()
        : root(fs::canonical(temp.path()).string()), cwd(root + "/work"), home(root + "/home")
    {
        fs::create_directories(cwd);
        fs::create_directories(home + "/.config");
        fs::current_path(cwd);
        env_guard::set("HOME", home.c_str());
        env_guard::set("XDG_CONFIG_HOME", nullptr);
    }

    std::string expanded(const std::string& pattern) const { return expand(expand(pattern, cwd), home, '~'); }

    test_support::temp_dir temp;
    path_test::cwd_guard guard;
    env_guard environment;
    std::string root;
    std::string cwd;
    std::string home;
};

struct dest_case {
    const char* old_name;
    const char* new_name;
    const char* ext;
    bool keep;
    const char* expected;
};

void PrintTo(const dest_case& c, std::ostream* os)
{
    *os << '"' << c.old_name << "\", \"" << c.new_name << "\", \"" << c.ext << "\", " << c.keep;
}

class default_dest : public destination, public ::testing::TestWithParam<dest_case> {};

TEST_P(default_dest, proposes_the_new_name_in_the_old_folder)
{
    const auto& c = GetParam();
    EXPECT_EQ(common_make_dest(expanded(c.old_name), c.new_name, c.ext, c.keep), expanded(c.expected));
}

INSTANTIATE_TEST_SUITE_P(cases, default_dest,
    ::testing::Values(dest_case {"/out/old.txt", "report", "txt", true, "report"},
                      dest_case {"/out/old.txt", "", "txt", true, ""},
                      dest_case {"", "report.pdf", "txt", true, "report.pdf"},
                      dest_case {"/out/old.txt", "report", "txt", false, "/out/report.txt"},
                      dest_case {"/out/old.txt", "report", ".txt", false, "/out/report.txt"},
                      dest_case {"/out/old.txt", "report", "", false, "/out/report"},
                      dest_case {"old.txt", "report", "txt", false, "@/report.txt"},
                      dest_case {"/out/", "report", "txt", false, "/out/report.txt"},
                      dest_case {"/out", "report", "txt", false, "/report.txt"},
                      // Backslashes are ordinary characters: a relative name here.
                      dest_case {"\\\\server\\share\\old.txt", "report", "txt", false, "@/report.txt"},
                      // Beside the documents folder, inside the home folder.
                      dest_case {"", "report", "txt", false, "~/report.txt"},
                      dest_case {"", "report", "", false, "~/report"}));

class default_dest_home : public destination, public ::testing::Test {};

TEST_F(default_dest_home, documents_set_to_the_home_itself_still_proposes_inside_the_home)
{
    test_support::write_file(home + "/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/\"\n");
    EXPECT_EQ(common_make_dest("", "report", "txt", false), home + "/report.txt");
}

TEST_F(default_dest_home, without_documents_folder_proposes_in_the_programs_folder)
{
    env_guard::set("HOME", nullptr);
    EXPECT_EQ(common_make_dest("", "report", "txt", false), tk_get_module_dir() + "report.txt");
}

TEST_F(default_dest_home, logs_the_call_and_the_branch_taken)
{
    test_support::temp_dir log_dir;
    tk_log_settings settings(log_dir.file("log.txt"), 0, true, true, false);
    common_make_dest("/out/old.txt", "report", "txt", false);
    common_make_dest("a", "b", "", true);
    EXPECT_EQ(test_support::read_file(settings.file_name),
              "common_make_dest(/out/old.txt,report,txt,0)\r\ntk_file_name::ctor(/out/old.txt)\r\n"
              "old_name - is a full qualified file name\r\ncommon_make_dest(a,b,,1)\r\n");
}

TEST_F(default_dest_home, too_long_names_are_refused)
{
    for (const auto& names : {std::pair {"/" + std::string(260, 'o'), std::string("report")},
                              std::pair {"/" + std::string(200, 'd') + "/old.txt", std::string(60, 'n')}}) {
        path_test::expect_too_long([&] { common_make_dest(names.first, names.second, "txt", false); });
    }
}

} // namespace
