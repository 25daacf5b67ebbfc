// Settings profiles: what the file holds, byte for byte, and when it is not written.
#include "planted_links.h"
#include "test_support.h"
#include "tk_profile.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

// Where the chosen name "chosen.qlp" leads: a file of its own, or the file that a link, or
// a chain of them, leads to. `links` are the links made, each with the text it holds (an
// absolute text begins with the folder's own path); `target` is the file at the end,
// which holds "old" beforehand when `target_there`.
struct name_layout {
    const char* case_name;
    std::vector<std::pair<std::string, std::string>> links;
    std::string target;
    bool target_there;
};

std::vector<name_layout> name_layouts(const std::string& folder)
{
    return {
        {"a file", {}, "chosen.qlp", true},
        {"a new file", {}, "chosen.qlp", false},
        {"a relative link into another folder", {{"chosen.qlp", "store/real.qlp"}}, "store/real.qlp", true},
        {"an absolute link", {{"chosen.qlp", folder + "/store/real.qlp"}}, "store/real.qlp", true},
        {"a link to a link", {{"chosen.qlp", "hop.qlp"}, {"hop.qlp", "store/real.qlp"}}, "store/real.qlp", true},
        {"a link to a missing file", {{"chosen.qlp", "store/real.qlp"}}, "store/real.qlp", false},
    };
}

const std::size_t layout_count = name_layouts(std::string()).size();

name_layout make_layout(const test_support::temp_dir& dir, std::size_t which)
{
    name_layout layout = name_layouts(dir.path().string())[which];
    fs::create_directory(dir.file("store"));
    for (const auto& [link, text] : layout.links)
        fs::create_symlink(text, dir.file(link));
    if (layout.target_there)
        test_support::write_file(dir.file(layout.target), "old");
    return layout;
}

// The links hold what they held, and the folder holds nothing else but the target, when
// it is there: no fresh file is left beside it.
void expect_links_kept(const test_support::temp_dir& dir, const name_layout& layout, bool target_there)
{
    std::set<std::string> expected{"store"};
    if (target_there)
        expected.insert(layout.target);
    for (const auto& [link, text] : layout.links) {
        expected.insert(link);
        EXPECT_TRUE(fs::is_symlink(dir.file(link))) << layout.case_name << ": " << link;
        if (fs::is_symlink(dir.file(link))) {
            EXPECT_EQ(fs::read_symlink(dir.file(link)).string(), text) << layout.case_name << ": " << link;
        }
    }
    EXPECT_EQ(test_support::files_below(dir.path()), expected) << layout.case_name;
}

TEST(tk_profile, a_link_as_the_name_keeps_leading_where_it_led)
{
    for (std::size_t which = 0; which < layout_count; ++which) {
        test_support::temp_dir dir;
        const name_layout layout = make_layout(dir, which);
        tk_profile profile;
        EXPECT_TRUE(profile.store(dir.file("chosen.qlp"))) << layout.case_name;
        EXPECT_EQ(test_support::read_file(dir.file(layout.target)), "[Generic settings]\r\n\r\n") << layout.case_name;
        expect_links_kept(dir, layout, true);
    }
}

// A profile may hold a password: the file a store leaves is the user's alone (0600), made
// new or replacing one that others could read and write, also where a link leads to it.
TEST(tk_profile, the_stored_file_is_private_to_the_user)
{
    for (std::size_t which = 0; which < layout_count; ++which) {
        test_support::temp_dir dir;
        const name_layout layout = make_layout(dir, which);
        if (layout.target_there)
            test_support::set_mode(dir.file(layout.target), 0666);
        tk_profile profile;
        profile.set_value("Generic settings", "password", "secret");
        ASSERT_TRUE(profile.store(dir.file("chosen.qlp"))) << layout.case_name;
        struct stat info {};
        ASSERT_EQ(stat(dir.file(layout.target).c_str(), &info), 0) << layout.case_name;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << layout.case_name;
    }
}

// A disk that fills up during the write (a file size limit stands in for it): the store
// reports the system's reason and leaves the old file, or the link and the file it leads
// to, byte for byte, or no file where there was none; no fresh file stays. The same when
// the limit's signal kills the program in the middle of the write: a crash leaves nothing
// behind, not even a fresh file that may hold a password.
TEST(tk_profile, a_file_that_cannot_be_written_whole_leaves_what_was_there)
{
    struct ending {
        const char* name;
        void (*on_limit)(int);
        bool killed;
    };
    const ending endings[] = {{"the write fails", SIG_IGN, false}, {"the program dies", SIG_DFL, true}};
    for (const ending& e : endings) {
        for (std::size_t which = 0; which < layout_count; ++which) {
            test_support::temp_dir dir;
            const name_layout layout = make_layout(dir, which);
            SCOPED_TRACE(std::string(e.name) + ", " + layout.case_name);
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                std::signal(SIGXFSZ, e.on_limit);
                const rlimit limit{16, 16};
                if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                    _exit(100);
                tk_profile profile;
                profile.set_value("Generic settings", "password", std::string(100, 's'));
                _exit(!profile.store(dir.file("chosen.qlp")) && errno == EFBIG ? 0 : 1);
            }
            const std::optional<int> ended = test_support::wait_for_child(child);
            ASSERT_TRUE(ended.has_value());
            const int status = *ended;
            if (e.killed) {
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
            } else {
                ASSERT_TRUE(WIFEXITED(status));
                EXPECT_EQ(WEXITSTATUS(status), 0) << "a failed write was not reported with its reason";
            }
            if (layout.target_there) {
                EXPECT_EQ(test_support::read_file(dir.file(layout.target)), "old");
            }
            expect_links_kept(dir, layout, layout.target_there);
        }
    }
}

// What is no file for a profile is refused before anything is made, and stays as it was.
TEST(tk_profile, a_name_that_leads_to_no_regular_file_is_refused)
{
    struct case_ {
        const char* name;
        void (*make)(const test_support::temp_dir& dir);
        int error;
    };
    const case_ cases[] = {
        {"a FIFO", [](const test_support::temp_dir& dir) { test_support::make_fifo(dir.file("chosen.qlp")); },
         EINVAL},
        {"a link to a folder",
         [](const test_support::temp_dir& dir) {
             fs::create_directory(dir.file("folder"));
             fs::create_symlink("folder", dir.file("chosen.qlp"));
         },
         EISDIR},
        {"links that lead only to links",
         [](const test_support::temp_dir& dir) {
             fs::create_symlink("other.qlp", dir.file("chosen.qlp"));
             fs::create_symlink("chosen.qlp", dir.file("other.qlp"));
         },
         ELOOP},
    };
    for (const case_& c : cases) {
        test_support::temp_dir dir;
        c.make(dir);
        const std::set<std::string> before = test_support::files_below(dir.path());
        const fs::file_type kind = fs::symlink_status(dir.file("chosen.qlp")).type();
        tk_profile profile;
        errno = 0;
        EXPECT_FALSE(profile.store(dir.file("chosen.qlp"))) << c.name;
        EXPECT_EQ(errno, c.error) << c.name;
        EXPECT_EQ(test_support::files_below(dir.path()), before) << c.name;
        EXPECT_EQ(fs::symlink_status(dir.file("chosen.qlp")).type(), kind) << c.name;
    }
}

// Links in a folder like /tmp, where everyone may make files and the sticky bit keeps each
// user's own: the system's link protection follows a link there only when the one who
// follows it or the folder's owner owns it, and a store follows links the same way,
// whatever the machine's setting of that protection. `links` are made below the test's
// folder in order, each as its owner's; the store goes to `chosen`, whose end (the file
// "target/real.qlp", holding "old") gets the profile only when `followed`.
struct sticky_case {
    const char* name;
    mode_t folder_mode;
    bool folder_given_away;
    struct link {
        std::string path, text;
        bool planted;
    };
    std::vector<link> links;
    std::string chosen;
    bool followed;
};

// A store that is refused says why, and leaves every file as it was.
void expect_store(const test_support::temp_dir& dir, const sticky_case& c)
{
    SCOPED_TRACE(c.name);
    const std::string target = dir.file("target/real.qlp");
    test_support::make_folder(dir.file("target"), 0755);
    test_support::write_file(target, "old");
    test_support::make_folder(dir.file("sticky"), c.folder_mode);
    for (const auto& link : c.links) {
        if (link.planted)
            test_support::plant_link(link.text, dir.file(link.path));
        else
            fs::create_symlink(link.text, dir.file(link.path));
    }
    if (c.folder_given_away)
        test_support::give_away(dir.file("sticky"));
    const std::set<std::string> before = test_support::files_below(dir.path());
    tk_profile profile;
    errno = 0;
    const bool stored = profile.store(dir.file(c.chosen));
    EXPECT_EQ(stored, c.followed);
    if (c.followed) {
        EXPECT_EQ(test_support::read_file(target), "[Generic settings]\r\n\r\n");
    } else {
        EXPECT_EQ(errno, EACCES);
        EXPECT_EQ(test_support::read_file(target), "old");
    }
    EXPECT_EQ(test_support::files_below(dir.path()), before);
    for (const auto& link : c.links)
        EXPECT_EQ(fs::read_symlink(dir.file(link.path)).string(), link.text) << link.path;
}

TEST(tk_profile, the_users_own_links_in_a_sticky_folder_are_followed)
{
    const std::vector<sticky_case> cases = {
        {"to the file", 01777, false, {{"sticky/chosen.qlp", "../target/real.qlp", false}}, "sticky/chosen.qlp", true},
        {"to its folder, on the way", 01777, false, {{"sticky/folder", "../target", false}}, "sticky/folder/real.qlp",
         true},
    };
    for (const sticky_case& c : cases) {
        test_support::temp_dir dir;
        expect_store(dir, c);
    }
}

TEST(tk_profile, another_users_link_in_a_sticky_folder_is_followed_as_the_system_would)
{
    if (!test_support::can_plant_links())
        GTEST_SKIP() << "only root can make a link that another user owns";
    const std::vector<sticky_case> cases = {
        {"to the file", 01777, false, {{"sticky/chosen.qlp", "../target/real.qlp", true}}, "sticky/chosen.qlp", false},
        {"to a file that is missing", 01777, false, {{"sticky/chosen.qlp", "../target/new.qlp", true}},
         "sticky/chosen.qlp", false},
        {"to a folder on the way", 01777, false, {{"sticky/folder", "../target", true}}, "sticky/folder/real.qlp",
         false},
        {"reached through the user's own link", 01777, false,
         {{"sticky/planted", "../target/real.qlp", true}, {"chosen.qlp", "sticky/planted", false}}, "chosen.qlp",
         false},
        {"owned by the folder's owner", 01777, true, {{"sticky/chosen.qlp", "../target/real.qlp", true}},
         "sticky/chosen.qlp", true},
        {"in a folder without the sticky bit", 0777, false, {{"sticky/chosen.qlp", "../target/real.qlp", true}},
         "sticky/chosen.qlp", true},
        {"in a sticky folder only its owner may write", 01755, false,
         {{"sticky/chosen.qlp", "../target/real.qlp", true}}, "sticky/chosen.qlp", true},
    };
    for (const sticky_case& c : cases) {
        test_support::temp_dir dir;
        expect_store(dir, c);
    }
}

} // namespace
