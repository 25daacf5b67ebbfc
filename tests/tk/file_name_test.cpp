#include "tk_file_name.h"

#include "internal_error_cases.h"
#include "message_table.h"
#include "path_test_support.h"
#include "test_support.h"
#include "tk_exception.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using path_test::expand;
using path_test::expect_too_long;

// Names are split with the current directory in a fresh folder; '@' in a case stands for it.
class in_temp_cwd {
protected:
    in_temp_cwd() : cwd(fs::canonical(temp.path()).string())
    {
        fs::current_path(cwd);
        fs::create_directory_symlink("/usr", "link");
    }

    test_support::temp_dir temp;
    path_test::cwd_guard guard;
    std::string cwd;
};

struct split_case {
    const char* given;
    const char* dir;
    const char* name;
    const char* ext;
};

void PrintTo(const split_case& c, std::ostream* os) { *os << '"' << c.given << '"'; }

class file_name_split : public in_temp_cwd, public ::testing::TestWithParam<split_case> {};

TEST_P(file_name_split, parts_and_joins)
{
    const auto& c = GetParam();
    const tk_file_name file(expand(c.given, cwd));
    const std::string whole = expand(c.dir, cwd) + c.name + c.ext;
    EXPECT_EQ(file.drive, "");
    EXPECT_EQ(file.dir, expand(c.dir, cwd));
    EXPECT_EQ(file.name, c.name);
    EXPECT_EQ(file.ext, c.ext);
    EXPECT_EQ(file.get_folder(), file.dir);
    EXPECT_EQ(file.get_full_name(), whole);
    EXPECT_EQ(file.path_without_drive(), whole);
}

INSTANTIATE_TEST_SUITE_P(cases, file_name_split,
    ::testing::Values(split_case {"report.pdf", "@/", "report", ".pdf"},
                      split_case {"/docs/", "/docs/", "", ""},
                      split_case {"/home/user/Documents", "/home/user/", "Documents", ""},
                      split_case {"archive.tar.gz", "@/", "archive.tar", ".gz"},
                      split_case {".profile", "@/", "", ".profile"},
                      split_case {"name.", "@/", "name", "."},
                      split_case {"/a.b/c", "/a.b/", "c", ""},
                      // A backslash is an ordinary character of a name here.
                      split_case {"\\\\server\\share\\x.txt", "@/", "\\\\server\\share\\x", ".txt"},
                      split_case {"sub/", "@/sub/", "", ""},
                      split_case {"/x/./y/../z//w.txt", "/x/z/", "w", ".txt"},
                      split_case {"/../../r.txt", "/", "r", ".txt"},
                      split_case {"/a/b/..", "/", "a", ""},
                      split_case {"/", "/", "", ""},
                      split_case {"@/missing/../new.txt", "@/", "new", ".txt"},
                      // Folded lexically: the link is not followed.
                      split_case {"link/../x.txt", "@/", "x", ".txt"},
                      split_case {"link/x.txt", "@/link/", "x", ".txt"}));

class file_name : public in_temp_cwd, public ::testing::Test {};

TEST(file_name_of_program, empty_name_keeps_the_programs_folder_and_extension_only)
{
    const fs::path program = fs::read_symlink("/proc/self/exe");
    const tk_file_name file("");
    EXPECT_EQ(file.get_folder(), program.parent_path().string() + "/");
    EXPECT_EQ(file.name, "");
    EXPECT_EQ(file.ext, program.extension().string());
}

TEST(file_name_of_program, null_name_raises_the_line_31_assertion)
{
    expect_internal_errors("tk_fname", {{31, [] { tk_file_name file(static_cast<const char*>(nullptr)); }}});
}

TEST_F(file_name, string_name_ends_at_its_first_nul)
{
    const tk_file_name file(std::string("a.txt\0.pdf", 10));
    EXPECT_EQ(file.get_full_name(), cwd + "/a.txt");
}

struct ext_case {
    const char* ext;
    const char* full;
};

void PrintTo(const ext_case& c, std::ostream* os) { *os << '"' << c.ext << '"'; }

class file_name_set_ext : public ::testing::TestWithParam<ext_case> {};

TEST_P(file_name_set_ext, replaces_the_extension)
{
    tk_file_name file("/out/old.pdf");
    file.set_ext(GetParam().ext);
    EXPECT_EQ(file.get_full_name(), GetParam().full);
}

INSTANTIATE_TEST_SUITE_P(cases, file_name_set_ext,
    ::testing::Values(ext_case {"txt", "/out/old.txt"}, ext_case {".txt", "/out/old.txt"}, ext_case {"", "/out/old"},
                      ext_case {"tar.gz", "/out/old.tar.gz"}));

TEST(file_name_join, adds_the_missing_separator_and_dot)
{
    tk_file_name file("/out/old.pdf");
    file.dir = "/other";
    file.ext = "txt";
    EXPECT_EQ(file.get_full_name(), "/other/old.txt");
}

TEST_F(file_name, full_path_of_259_characters_is_the_longest_accepted)
{
    const std::string longest = "/" + std::string(200, 'd') + "/" + std::string(57, 'n');
    ASSERT_EQ(longest.size(), 259u);
    EXPECT_EQ(tk_file_name(longest).get_full_name(), longest);
    expect_too_long([&] { tk_file_name file(longest + "x"); });
    // Relative: the current directory counts.
    const std::string relative(259 - cwd.size(), 'r');
    expect_too_long([&] { tk_file_name file(relative); });
    // The limit holds for the folded path, not the given text.
    std::string detour = "/";
    while (detour.size() < 400)
        detour += "long-folder/../";
    EXPECT_EQ(tk_file_name(detour + "x.txt").get_full_name(), "/x.txt");
}

TEST_F(file_name, parts_over_255_characters_are_refused)
{
    expect_too_long([] { tk_file_name file("/" + std::string(256, 'n')); });
    expect_too_long([] { tk_file_name file("/a." + std::string(255, 'x')); });
    expect_too_long([] { tk_file_name file("/" + std::string(254, 'd') + "/x"); });
    EXPECT_NO_THROW(tk_file_name("/" + std::string(253, 'd') + "/x"));
}

TEST_F(file_name, join_that_does_not_fit_is_refused)
{
    tk_file_name file("/" + std::string(200, 'd') + "/old.txt");
    file.name = std::string(60, 'n');
    expect_too_long([&] { file.get_full_name(); });
}

TEST_F(file_name, relative_name_without_current_directory_is_refused)
{
    fs::create_directory("gone");
    fs::current_path("gone");
    fs::remove(cwd + "/gone");
    try {
        tk_file_name file("x.txt");
        FAIL() << "not refused";
    } catch (const tk_exception& e) {
        EXPECT_EQ(e.level, 1);
        EXPECT_NE(e.message, msg::path_too_long);
    }
    EXPECT_EQ(tk_file_name("/out/x.txt").get_full_name(), "/out/x.txt");
}

} // namespace
