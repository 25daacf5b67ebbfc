// Settings profiles: what the file holds, byte for byte, and when it is not written.
#include "test_support.h"
#include "tk_profile.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string stored_bytes(tk_profile& profile)
{
    test_support::temp_dir dir;
    const std::string file = dir.file("settings.ini");
    EXPECT_TRUE(profile.store(file));
    return test_support::read_file(file);
}

TEST(tk_profile, a_new_profile_holds_the_generic_section_alone)
{
    tk_profile profile;
    EXPECT_EQ(stored_bytes(profile), "[Generic settings]\r\n\r\n");
}

TEST(tk_profile, writes_sections_and_keys_in_byte_order_and_keeps_first_values)
{
    tk_profile profile;
    profile.set_value("Generic settings", "src", "C:\\in.pdf");
    profile.set_value("Generic settings", "src", "second");
    profile.set_value("Generic settings", "password", "p=w]");
    profile.set_value("Generic settings", "pages", "");
    profile.add_section("apple");
    profile.add_section("Alpha");
    profile.set_value("Alpha", "k", "v");
    profile.add_section("Alpha");
    profile.set_value("Zebra", "\xe9t\xe9", "high byte");
    profile.set_value("Zebra", "z", "low byte");
    profile.set_value("Zebra", "line", "one\ntwo");
    EXPECT_EQ(stored_bytes(profile), "[Alpha]\r\nk=v\r\n\r\n"
                                     "[Generic settings]\r\npages=\r\npassword=p=w]\r\nsrc=C:\\in.pdf\r\n\r\n"
                                     "[Zebra]\r\nline=one\ntwo\r\nz=low byte\r\n\xe9t\xe9=high byte\r\n\r\n"
                                     "[apple]\r\n\r\n");
}

TEST(tk_profile, selected_tables_write_empty_values_as_bare_keys)
{
    struct case_ {
        const char* section;
        const char* value;
        const char* line;
    };
    const case_ cases[] = {
        {"Selected Tables", "", "T1\r\n"},
        {"Selected Tables", "x", "T1=x\r\n"},
        {"selected tables", "", "T1=\r\n"},
        {"Other", "", "T1=\r\n"},
    };
    for (const case_& c : cases) {
        tk_profile profile;
        profile.set_value(c.section, "T1", c.value);
        const std::string bytes = stored_bytes(profile);
        const std::string section = std::string("[") + c.section + "]\r\n";
        EXPECT_NE(bytes.find(section + c.line + "\r\n"), std::string::npos) << c.section << ": " << bytes;
    }
}

TEST(tk_profile, lists_follow_the_sections_without_a_closing_empty_line)
{
    tk_profile profile;
    profile.lists["B list"] = {"second", "first"};
    profile.lists["A list"] = {"only"};
    EXPECT_EQ(stored_bytes(profile), "[Generic settings]\r\n\r\n[A list]\r\nonly\r\n[B list]\r\nsecond\r\nfirst\r\n");
}

TEST(tk_profile, storing_over_a_file_replaces_all_of_it)
{
    test_support::temp_dir dir;
    const std::string file = dir.file("old.ini");
    test_support::write_file(file, std::string(5000, 'x'));
    tk_profile profile;
    ASSERT_TRUE(profile.store(file));
    EXPECT_EQ(test_support::read_file(file), "[Generic settings]\r\n\r\n");
}

TEST(tk_profile, a_new_file_is_private_to_the_user)
{
    test_support::temp_dir dir;
    const std::string file = dir.file("new.ini");
    tk_profile profile;
    profile.set_value("Generic settings", "password", "secret");
    ASSERT_TRUE(profile.store(file));
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(tk_profile, a_file_that_cannot_be_opened_gives_false_and_creates_nothing)
{
    test_support::temp_dir dir;
    tk_profile profile;
    EXPECT_FALSE(profile.store(dir.file("missing/folder/settings.ini")));
    EXPECT_FALSE(fs::exists(dir.file("missing")));
    EXPECT_FALSE(profile.store(dir.path().string()));
    EXPECT_FALSE(profile.store(""));

    // A file the user may not write, and a folder the user may not create in, whether the
    // child is their owner or another user.
    const std::string locked = dir.file("locked.ini");
    test_support::write_file(locked, "keep");
    fs::create_directory(dir.file("closed"));
    test_support::open_to_everyone(dir.path());
    fs::permissions(locked, fs::perms::owner_read | fs::perms::others_read);
    fs::permissions(dir.file("closed"), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read
                                            | fs::perms::others_exec);
    const int result = test_support::run_unprivileged([&] {
        tk_profile unprivileged;
        return (unprivileged.store(locked) ? 1 : 0) + (unprivileged.store(dir.file("closed/new.ini")) ? 2 : 0);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(test_support::read_file(locked), "keep");
    EXPECT_FALSE(fs::exists(dir.file("closed/new.ini")));
}

// A disk that fills up during the write (a file size limit stands in for it): the store
// reports the system's reason and leaves no partial file, also where it replaced one.
TEST(tk_profile, a_file_that_cannot_be_written_whole_gives_false_and_goes)
{
    test_support::temp_dir dir;
    const std::string fresh = dir.file("new.qlp");
    const std::string replaced = dir.file("old.qlp");
    test_support::write_file(replaced, "old");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        int failures = 0;
        for (const std::string& file : {fresh, replaced}) {
            tk_profile profile;
            profile.set_value("Generic settings", "src", std::string(100, 's'));
            failures += profile.store(file) || errno != EFBIG;
        }
        _exit(failures);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a failed write was not reported with its reason";
    EXPECT_FALSE(fs::exists(fresh));
    EXPECT_FALSE(fs::exists(replaced));
}

} // namespace
