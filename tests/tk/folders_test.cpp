#include "tk_folders.h"

#include "odd_files.h"
#include "path_test_support.h"
#include "test_support.h"
#include "tk_default_dest.h"
#include "tk_log.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using path_test::env_guard;
using path_test::expand;

TEST(program_folder, is_the_folder_of_the_running_program)
{
    const std::string name = tk_get_module_file_name();
    EXPECT_TRUE(fs::equivalent(name, "/proc/self/exe"));
    EXPECT_EQ(fs::path(name).filename(), "tk_tests");
    EXPECT_EQ(tk_get_module_dir(), fs::path(name).parent_path().string() + "/");
}

// A fresh home folder in HOME, the XDG folders at their defaults; '@' in a case stands for it.
class user_folders {
protected:
    user_folders() : home(fs::canonical(temp.path()).string())
    {
        env_guard::set("HOME", home.c_str());
        env_guard::set("XDG_CONFIG_HOME", nullptr);
        env_guard::set("XDG_DATA_HOME", nullptr);
    }

    void write_user_dirs(const std::string& folder, const std::string& text)
    {
        fs::create_directories(folder);
        test_support::write_file(folder + "/user-dirs.dirs", text);
    }

    env_guard environment;
    test_support::temp_dir temp;
    std::string home;
};

struct documents_case {
    const char* user_dirs; // null: no file; '@' stands for the home folder here too
    const char* expected;
};

void PrintTo(const documents_case& c, std::ostream* os) { *os << '"' << (c.user_dirs ? c.user_dirs : "no file") << '"'; }

class documents_folder : public user_folders, public ::testing::TestWithParam<documents_case> {};

TEST_P(documents_folder, from_the_users_dirs_file_never_the_home_itself)
{
    if (GetParam().user_dirs != nullptr)
        write_user_dirs(home + "/.config", expand(GetParam().user_dirs, home));
    EXPECT_EQ(tk_get_user_home_path(), expand(GetParam().expected, home));
}

INSTANTIATE_TEST_SUITE_P(cases, documents_folder,
    ::testing::Values(documents_case {nullptr, "@/Documents"},
                      documents_case {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", "@/Documents"},
                      documents_case {"# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n", "@/Papers"},
                      documents_case {"XDG_DOCUMENTS_DIR=\"$HOME/Papers/\"\n", "@/Papers"},
                      documents_case {"XDG_DOCUMENTS_DIR=\"/srv/papers\"\n", "/srv/papers"},
                      documents_case {"  XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Files\\\"\"\n", "@/My \"Files\""},
                      documents_case {"XDG_DOCUMENTS_DIR=$HOME/Bare\n", "@/Bare"},
                      documents_case {"XDG_DOCUMENTS_DIR=\"$HOME/A\"\nXDG_DOCUMENTS_DIR=\"$HOME/B\"\n", "@/B"},
                      // The desktop's answer to a missing documents folder: the home itself.
                      documents_case {"XDG_DOCUMENTS_DIR=\"$HOME/\"\n", "@/Documents"},
                      documents_case {"XDG_DOCUMENTS_DIR=\"$HOME\"\n", "@/Documents"},
                      documents_case {"XDG_DOCUMENTS_DIR=\"@/./\"\n", "@/Documents"},
                      documents_case {"XDG_DOCUMENTS_DIR=\"Papers\"\n", "@/Documents"},
                      documents_case {"XDG_DOCUMENTS_DIR=\"$HOMEWORK\"\n", "@/Documents"},
                      documents_case {"XDG_DOCUMENTS_DIR=\"\"\n", "@/Documents"}));

class user_folder : public user_folders, public ::testing::Test {};

TEST_F(user_folder, config_home_names_the_folder_of_the_users_dirs_file)
{
    const std::string config = home + "/elsewhere";
    write_user_dirs(config, "XDG_DOCUMENTS_DIR=\"$HOME/Other\"\n");
    env_guard::set("XDG_CONFIG_HOME", config.c_str());
    EXPECT_EQ(tk_get_user_home_path(), home + "/Other");
}

// Something other than a small regular file where user-dirs.dirs belongs: looking for the
// documents folder neither hangs on it nor reads it into memory, and takes the default, so
// the wizard proposes its destination beside that.
TEST_F(user_folder, a_users_dirs_file_that_is_no_small_regular_file_counts_as_none)
{
    for (const test_support::odd_file& odd : test_support::odd_files) {
        SCOPED_TRACE(odd.name);
        test_support::temp_dir config;
        env_guard::set("XDG_CONFIG_HOME", config.path().c_str());
        odd.make(config.path() / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
        EXPECT_EQ(tk_get_user_home_path(), home + "/Documents");
        EXPECT_EQ(common_make_dest("", "report", "txt", false), home + "/report.txt");
    }
}

struct appdata_case {
    const char* data_home; // null: not set
    const char* expected;
};

void PrintTo(const appdata_case& c, std::ostream* os) { *os << '"' << (c.data_home ? c.data_home : "not set") << '"'; }

class appdata_folder : public user_folders, public ::testing::TestWithParam<appdata_case> {};

TEST_P(appdata_folder, is_the_data_home_or_its_default)
{
    env_guard::set("XDG_DATA_HOME", GetParam().data_home);
    EXPECT_EQ(tk_get_appdata_path(), expand(GetParam().expected, home));
}

INSTANTIATE_TEST_SUITE_P(cases, appdata_folder,
    ::testing::Values(appdata_case {nullptr, "@/.local/share"},
                      appdata_case {"/var/data/", "/var/data"},
                      appdata_case {"relative/data", "@/.local/share"},
                      appdata_case {"", "@/.local/share"}));

TEST_F(user_folder, home_with_trailing_separator_gives_folders_without_one)
{
    env_guard::set("HOME", (home + "//").c_str());
    EXPECT_EQ(tk_get_user_home_path(), home + "/Documents");
    EXPECT_EQ(tk_get_appdata_path(), home + "/.local/share");
}

TEST_F(user_folder, without_a_home_both_lookups_fail_with_a_log_line)
{
    test_support::temp_dir log_dir;
    tk_log_settings settings(log_dir.file("log.txt"), 0, true, true, false);
    for (const char* value : {static_cast<const char*>(nullptr), "", "relative/home"}) {
        env_guard::set("HOME", value);
        EXPECT_EQ(tk_get_user_home_path(), "");
        EXPECT_EQ(tk_get_appdata_path(), "");
    }
    const std::string failure = "SHGetSpecialFolderLocation error: 00000002\r\n";
    const std::string one_round = "tk_get_user_home_path\r\n" + failure + failure;
    EXPECT_EQ(test_support::read_file(settings.file_name), one_round + one_round + one_round);
}

TEST_F(user_folder, found_folders_are_logged)
{
    test_support::temp_dir log_dir;
    tk_log_settings settings(log_dir.file("log.txt"), 0, true, true, false);
    tk_get_user_home_path();
    tk_get_appdata_path();
    EXPECT_EQ(test_support::read_file(settings.file_name), "tk_get_user_home_path\r\nGor user's home: " + home
                                                               + "/Documents\r\nGor appdata path: " + home
                                                               + "/.local/share\r\n");
}

TEST_F(user_folder, a_folder_path_of_260_characters_is_given_as_empty)
{
    const std::string data_home = "/" + std::string(258, 'd');
    env_guard::set("XDG_DATA_HOME", data_home.c_str());
    EXPECT_EQ(tk_get_appdata_path(), data_home);
    env_guard::set("XDG_DATA_HOME", (data_home + "x").c_str());
    EXPECT_EQ(tk_get_appdata_path(), "");
}

} // namespace
