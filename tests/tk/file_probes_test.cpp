#include "tk_cwd_saver.h"
#include "tk_file_probes.h"

#include "path_test_support.h"
#include "test_support.h"
#include "tk_log.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using path_test::expand;
using test_support::temp_dir;

std::string program_folder() { return fs::read_symlink("/proc/self/exe").parent_path().string(); }

// A folder with one thing of each kind a probe may meet; '@' in a case stands for it.
class probe_folder {
protected:
    probe_folder() : root(fs::canonical(temp.path()).string())
    {
        test_support::write_file(root + "/file.txt", "x");
        fs::create_directory(root + "/folder");
        test_support::make_fifo(root + "/fifo", 0666);
        fs::create_symlink(root + "/file.txt", root + "/link");
        fs::create_symlink(root + "/missing", root + "/dangling");
    }

    temp_dir temp;
    std::string root;
    path_test::cwd_guard guard;
};

struct file_case {
    const char* name;
    bool readable;
    bool writable;
};

void PrintTo(const file_case& c, std::ostream* os) { *os << '"' << c.name << '"'; }

class file_probe : public probe_folder, public ::testing::TestWithParam<file_case> {};

TEST_P(file_probe, only_a_regular_file_that_opens_exists)
{
    const auto& c = GetParam();
    EXPECT_EQ(tk_is_file_exist(expand(c.name, root), tk_probe_read), c.readable);
    EXPECT_EQ(tk_is_file_exist(expand(c.name, root), tk_probe_write), c.writable);
}

INSTANTIATE_TEST_SUITE_P(cases, file_probe,
    ::testing::Values(file_case {"@/file.txt", true, true},
                      file_case {"@/link", true, true},
                      file_case {"@/folder", false, false},
                      file_case {"@/fifo", false, false},
                      file_case {"/dev/null", false, false},
                      file_case {"@/missing", false, false},
                      file_case {"@/dangling", false, false},
                      file_case {"", false, false}));

struct permission_case {
    fs::perms mode;
    bool readable;
    bool writable;
};

void PrintTo(const permission_case& c, std::ostream* os) { *os << "mode " << std::oct << static_cast<int>(c.mode); }

class file_probe_unprivileged : public ::testing::TestWithParam<permission_case> {};

TEST_P(file_probe_unprivileged, follows_the_users_access)
{
    temp_dir temp;
    const std::string file = temp.file("file.txt");
    test_support::write_file(file, "x");
    test_support::open_to_everyone(temp.path());
    fs::permissions(file, GetParam().mode);
    // Bit 4: every mode but 1 asks what tk_probe_read asks.
    const int found = test_support::run_unprivileged([&] {
        const bool readable = tk_is_file_exist(file, tk_probe_read);
        const bool same_for_other_modes = tk_is_file_exist(file, 0) == readable && tk_is_file_exist(file, 2) == readable;
        return (readable ? 1 : 0) | (tk_is_file_exist(file, tk_probe_write) ? 2 : 0) | (same_for_other_modes ? 4 : 0);
    });
    EXPECT_EQ(found, (GetParam().readable ? 1 : 0) | (GetParam().writable ? 2 : 0) | 4);
}

INSTANTIATE_TEST_SUITE_P(cases, file_probe_unprivileged,
    ::testing::Values(permission_case {fs::perms::all, true, true},
                      permission_case {fs::perms::owner_read | fs::perms::others_read, true, false},
                      permission_case {fs::perms::others_write, false, false},
                      permission_case {fs::perms::none, false, false}));

TEST(file_probe_log, names_the_file_and_the_miss)
{
    temp_dir dir;
    tk_log_settings settings(dir.file("log.txt"), 0, true, true, false);
    tk_is_file_exist("/no/such", tk_probe_read);
    tk_is_path_exist("/no/such");
    EXPECT_EQ(test_support::read_file(settings.file_name),
              "tk_is_file_exist(/no/such)\r\nFile not exists!\r\ntk_is_path_exist(/no/such)\r\n");
}

class path_probe : public probe_folder, public ::testing::TestWithParam<file_case> {};

TEST_P(path_probe, true_for_a_folder_that_can_be_entered_and_keeps_the_current_directory)
{
    fs::current_path(root + "/folder");
    EXPECT_EQ(tk_is_path_exist(expand(GetParam().name, root)), GetParam().readable);
    EXPECT_EQ(fs::current_path(), root + "/folder");
}

INSTANTIATE_TEST_SUITE_P(cases, path_probe,
    ::testing::Values(file_case {"@", true, false},
                      file_case {"..", true, false},
                      file_case {"", true, false},
                      file_case {"@/file.txt", false, false},
                      file_case {"@/fifo", false, false},
                      file_case {"@/missing", false, false}));

TEST(path_probe_unprivileged, a_folder_without_search_permission_cannot_be_entered)
{
    temp_dir temp;
    const std::string open = temp.file("open");
    const std::string closed = temp.file("closed");
    fs::create_directory(open);
    fs::create_directory(closed);
    test_support::open_to_everyone(temp.path());
    test_support::open_to_everyone(open);
    // No one may search it: the child may be its owner or another user.
    fs::permissions(closed, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read
                                | fs::perms::others_write);
    EXPECT_EQ(test_support::run_unprivileged([&] {
        return (tk_is_path_exist(open) ? 1 : 0) | (tk_is_path_exist(closed) ? 2 : 0);
    }), 1);
}

class cwd_saver : public probe_folder, public ::testing::Test {};

TEST_F(cwd_saver, enters_the_folder_and_goes_back)
{
    const fs::path before = fs::current_path();
    {
        const tk_cwd_saver saver(root + "/folder");
        EXPECT_TRUE(saver.changed);
        EXPECT_EQ(saver.saved_dir, before.string());
        EXPECT_EQ(fs::current_path(), root + "/folder");
    }
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(cwd_saver, empty_folder_means_the_programs_folder)
{
    const tk_cwd_saver saver("");
    EXPECT_TRUE(saver.changed);
    EXPECT_EQ(fs::current_path(), program_folder());
}

TEST_F(cwd_saver, a_folder_that_cannot_be_entered_changes_nothing)
{
    fs::current_path(root);
    {
        const tk_cwd_saver saver(root + "/file.txt");
        EXPECT_FALSE(saver.changed);
        EXPECT_EQ(saver.saved_dir, root);
        fs::current_path(root + "/folder");
    }
    // Not changed, so not gone back either.
    EXPECT_EQ(fs::current_path(), root + "/folder");
}

TEST_F(cwd_saver, a_current_directory_of_260_characters_is_not_left)
{
    std::string deep = root;
    while (deep.size() < 260)
        deep += "/" + std::string(50, 'd');
    fs::create_directories(deep);
    fs::current_path(deep);
    {
        const tk_cwd_saver saver(root);
        EXPECT_FALSE(saver.changed);
        EXPECT_EQ(saver.saved_dir, "");
        EXPECT_EQ(fs::current_path(), deep);
    }
    EXPECT_EQ(fs::current_path(), deep);
    EXPECT_FALSE(tk_is_path_exist(root));
}

} // namespace
