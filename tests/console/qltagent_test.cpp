// QLTAGENT run as a process: each case is a command line in a prepared working folder,
// with the streams, exit code, destination and stored settings it must leave.
#include "../fixtures/five_pages_text.h"
#include "../fixtures/long_password.h"
#include "../fixtures/two_columns_text.h"
#include "broken_page_trees.h"
#include "odd_files.h"
#include "qltagent_process.h"
#include "source_changes.h"
#include "test_support.h"
#include "tk_exception.h"
#include "tk_reg_key.h"

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using fixture_text::five_pages;
using test_support::read_file;
using test_support::write_file;

constexpr int failed = 255; // exit(-1) as the shell sees it

const std::string usage = "QLTAGENT v3.3\n"
                          "Usage: QLTAGENT.EXE OPTIONS\n"
                          "\n"
                          "   --src=...   path to the source PDF document\n"
                          "   --dest=...  path to the destination ASCII text file\n"
                          "   --pages=... page numbers and/or pages ranges separated by commas.\n"
                          "               For example: 1,3,5-10\n"
                          "   --pswd=...  password for the source PDF document (if any)\n"
                          "\n";
const std::string no_source = "You should specify source file\n";
const std::string source_missing = "Source file does not exist.\nPlease verify the correct file name was given.\n";
const std::string read_only = "Destination name specifies an existing read-only file.\n";
const std::string dest_is_source = "Error:\nThe destination file cannot be the source document.\n";
const std::string path_missing = "Destination path does not exist.\nPlease verify the correct path was given.\n";
const std::string wrong_password = "Error:\nIncorrect password\n";
const std::string invalid_range = "Error:\nInvalid page range\n";
const std::string unreadable =
    "Error:\nThe program cannot read PDF document. It might be corrupted or does not comply with Adobe PDF format.\n";
const std::string is_a_folder = "Error:\nIs a directory\n";
const std::string no_access = "Error:\nPermission denied\n";
const std::string no_such_file = "Error:\nNo such file or directory\n";

const std::string all_pages = five_pages({1, 2, 3, 4, 5});

struct settings {
    std::string src, dest, pages, password;
    bool open_on_exit = true;
    bool operator==(const settings&) const = default;
};

std::ostream& operator<<(std::ostream& out, const settings& s)
{
    return out << "{src=" << s.src << " dest=" << s.dest << " pages=" << s.pages << " password=" << s.password
               << " open=" << s.open_on_exit << "}";
}

// What the store holds before every case; "open on exit" is never touched by QLTAGENT.
const settings before_run = {"old.pdf", "old.txt", "2", "old-secret", false};

const char* const settings_key = "Software\\Corvane\\Lumetra";

// Moves the five settings between `values` and the store of the current settings home.
void transfer_settings(settings& values, bool store)
{
    tk_serializer store_key(settings_key);
    ASSERT_EQ(store_key.key.create(plat::HKEY_CURRENT_USER, settings_key, nullptr, 0, plat::KEY_ALL_ACCESS,
                                   nullptr, nullptr),
              0);
    EXPECT_TRUE(store_key.serialize_bool("open on exit", values.open_on_exit, store));
    EXPECT_TRUE(store_key.serialize_string("src", values.src, store));
    EXPECT_TRUE(store_key.serialize_string("dest", values.dest, store));
    EXPECT_TRUE(store_key.serialize_string("pages", values.pages, store));
    EXPECT_TRUE(store_key.serialize_string("password", values.password, store));
    store_key.key.close();
}

// "{work}" in a text stands for the case's working folder.
std::string expand(std::string text, const std::string& work)
{
    for (std::size_t at; (at = text.find("{work}")) != std::string::npos;)
        text.replace(at, 6, work);
    return text;
}

// The working folder every case starts in.
void prepare_work(const fs::path& work)
{
    const auto fixture = [](const char* name) { return fs::path(QLT_FIXTURES_DIR) / name; };
    fs::create_directories(work / "sub");
    fs::copy_file(fixture("five_pages.pdf"), work / "doc.pdf");
    fs::copy_file(fixture("five_pages.pdf"), work / "report");
    fs::copy_file(fixture("five_pages.pdf"), work / "guarded.pdf");
    fs::copy_file(fixture("five_pages.pdf"), work / "secret.pdf");
    fs::copy_file(fixture("five_pages_aes_256.pdf"), work / "locked.pdf"); // user password "user-secret"
    fs::copy_file(fixture("not_a_pdf.pdf"), work / "garbage.pdf");
    fs::copy_file(fixture("two_columns.pdf"), work / "columns.pdf");
    fs::copy_file(fixture("five_pages.pdf"), work / "notes.txt"); // a PDF document under another name
    fs::create_hard_link(work / "doc.pdf", work / "link.pdf");
    write_file((work / "readonly.txt").string(), "keep me");
    write_file((work / "guarded.txt").string(), "keep me");
    write_file((work / "kept.txt").string(), "keep me");
    fs::create_symlink(work / "nowhere" / "out.txt", work / "dangling.txt");
    // A folder the user may read but not write, with a document in it.
    fs::create_directories(work / "closed");
    fs::copy_file(QLT_FIXTURES_DIR "/five_pages.pdf", work / "closed" / "doc.pdf");
    fs::permissions(work / "closed", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                         fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(work / "readonly.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(work / "guarded.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(work / "secret.pdf", fs::perms::none);
}

struct console_case {
    const char* name;
    std::vector<std::string> arguments;
    int exit_code;
    std::string out;
    std::string err;
    // The one file the run adds below the working folder, and its bytes; empty: none.
    std::string dest = {};
    std::string dest_bytes = {};
    // The settings stored afterwards; none: those from before the run.
    std::optional<settings> stored = std::nullopt;
    bool unprivileged = false;
    std::size_t file_size_limit = 0; // as on a full disk: no file written past it
};

void PrintTo(const console_case& c, std::ostream* out) { *out << c.name; }

const console_case cases[] = {
    {"no_argument", {}, failed, "", usage},
    {"five_arguments", {"--src=doc.pdf", "--src=doc.pdf", "--src=doc.pdf", "--src=doc.pdf", "--src=doc.pdf"},
     failed, "", usage},
    {"src_without_equals", {"--src", "--dest=out.txt"}, failed, "", usage},
    {"upper_case_option", {"--SRC=doc.pdf"}, failed, "", usage},
    {"unrecognised_beside_valid_options", {"--src=doc.pdf", "--dest=out.txt", "doc.pdf"}, failed, "", usage},
    {"empty_src", {"--src=", "--dest=out.txt"}, failed, "", no_source},
    {"no_src", {"--dest=out.txt", "--pswd=x"}, failed, "", no_source},
    {"missing_source", {"--src=missing.pdf"}, failed, "", source_missing},
    {"source_is_a_folder", {"--src=sub"}, failed, "", source_missing},
    {"all_four_options",
     {"--src=doc.pdf", "--dest=out.txt", "--pages=4,2-3", "--pswd=ignored"},
     0, "", "", "out.txt", five_pages({4, 2, 3}),
     settings {"doc.pdf", "out.txt", "4,2-3", "ignored", false}},
    // Without "--pages=" the stored range stays stored, yet every page is converted;
    // without "--pswd=" the stored password is cleared.
    {"last_occurrence_wins",
     {"--src=missing.pdf", "--dest=first.txt", "--src=doc.pdf", "--dest=second.txt"},
     0, "", "", "second.txt", all_pages, settings {"doc.pdf", "second.txt", "2", "", false}},
    {"empty_password_clears_the_stored_one", {"--src=doc.pdf", "--dest=out.txt", "--pswd="}, 0, "", "",
     "out.txt", all_pages, settings {"doc.pdf", "out.txt", "2", "", false}},
    {"default_destination_beside_the_source", {"--src=doc.pdf"}, 0, "", "", "doc.txt", all_pages,
     settings {"doc.pdf", "{work}/doc.txt", "2", "", false}},
    {"source_without_extension", {"--src=report", "--pages=1"}, 0, "", "", "report.txt", five_pages({1}),
     settings {"report", "{work}/report.txt", "1", "", false}},
    {"password_that_looks_like_an_option", {"--src=doc.pdf", "--dest=out.txt", "--pswd=--src=x"}, 0, "", "",
     "out.txt", all_pages, settings {"doc.pdf", "out.txt", "2", "--src=x", false}},
    {"relative_destination", {"--dest=sub/out.txt", "--src={work}/doc.pdf", "--pages=5,1"}, 0, "", "",
     "sub/out.txt", five_pages({5, 1}), settings {"{work}/doc.pdf", "sub/out.txt", "5,1", "", false}},
    {"two_columns_side_by_side", {"--src=columns.pdf", "--dest=out.txt"}, 0, "", "", "out.txt",
     fixture_text::two_columns, settings {"columns.pdf", "out.txt", "2", "", false}},
    {"protected_document_with_its_password",
     {"--src=locked.pdf", "--dest=out.txt", "--pswd=user-secret", "--pages=5"},
     0, "", "", "out.txt", five_pages({5}), settings {"locked.pdf", "out.txt", "5", "user-secret", false}},
    // The password is checked before the destination: its folder is missing here.
    {"wrong_password_before_the_destination", {"--src=locked.pdf", "--dest=nowhere/out.txt", "--pswd=wrong"},
     failed, wrong_password, ""},
    {"missing_password", {"--src=locked.pdf", "--dest=out.txt"}, failed, wrong_password, ""},
    {"unreadable_document", {"--src=garbage.pdf", "--dest=out.txt"}, failed, unreadable, ""},
    {"invalid_range_beside_an_unrecognised_argument", {"stray", "--pages=5-3", "--src=doc.pdf"}, failed,
     invalid_range, ""},
    {"invalid_range_without_a_source", {"--pages=0"}, failed, invalid_range, ""},
    // A list that names no page of the document converts nothing: refused before a
    // destination is made. One page in the document is enough.
    {"range_entirely_beyond_the_document", {"--src=doc.pdf", "--dest=out.txt", "--pages=6-9,12"}, failed,
     invalid_range, ""},
    // An existing destination keeps its bytes after every refusal that the document, its
    // password and the page list decide.
    {"range_beyond_the_document_keeps_the_destination", {"--src=doc.pdf", "--dest=kept.txt", "--pages=7-9"},
     failed, invalid_range, ""},
    {"wrong_password_keeps_the_destination", {"--src=locked.pdf", "--dest=kept.txt", "--pswd=wrong"}, failed,
     wrong_password, ""},
    {"unreadable_document_keeps_the_destination", {"--src=garbage.pdf", "--dest=kept.txt"}, failed, unreadable,
     ""},
    {"page_tree_beyond_its_count_keeps_the_destination",
     {"--src=" QLT_FIXTURES_DIR "/tree_count_under.pdf", "--dest=kept.txt"}, failed, unreadable, ""},
    {"page_the_library_cannot_make_keeps_the_destination",
     {"--src=" QLT_FIXTURES_DIR "/tree_page_not_made.pdf", "--dest=kept.txt", "--pages=2,5"}, failed, unreadable,
     ""},
    // The pages' text is staged until the last page; a refusal at a page, or after the last
    // one, leaves the destination as it was. Page 3 of the first table can't be made (a
    // walk of the tree that made the library rebuild it does not change which the run reads),
    // and only the table rebuilt during the run holds a page beyond the count.
    {"page_3_of_the_first_table_keeps_the_destination",
     {"--src=" QLT_FIXTURES_DIR "/rebuilt_table_page_3_broken_first.pdf", "--dest=kept.txt"}, failed, unreadable,
     ""},
    {"rebuilt_table_beyond_its_count_keeps_the_destination",
     {"--src=" QLT_FIXTURES_DIR "/rebuilt_table_beyond_count.pdf", "--dest=kept.txt"}, failed, unreadable, ""},
    {"full_disk_while_staging_keeps_the_destination", {"--src=doc.pdf", "--dest=kept.txt"}, failed,
     "Error:\nFile too large\n", "", "", "", std::nullopt, false, 100},
    {"range_partly_beyond_the_document", {"--src=doc.pdf", "--dest=out.txt", "--pages=9,4,6-7"}, 0, "", "",
     "out.txt", five_pages({4}), settings {"doc.pdf", "out.txt", "9,4,6-7", "", false}},
    {"missing_destination_folder", {"--src=doc.pdf", "--dest=nowhere/out.txt"}, failed, "", path_missing},
    // Emptying the destination would destroy the source before it is read; the run refuses.
    {"destination_is_the_source", {"--src=doc.pdf", "--dest=./sub/../doc.pdf"}, failed, dest_is_source, ""},
    {"destination_is_a_link_to_the_source", {"--src=doc.pdf", "--dest=link.pdf"}, failed, dest_is_source, ""},
    {"default_destination_is_the_source", {"--src=notes.txt"}, failed, dest_is_source, ""},
    {"destination_name_too_long", {"--src=doc.pdf", "--dest=sub/" + std::string(300, 'x') + ".txt"}, failed,
     "Error:\nThe file name is too long: a full path must be shorter than 260 characters.\n", ""},
    // A destination that can't be made is an error with the system's reason.
    {"destination_is_a_folder", {"--src=doc.pdf", "--dest=sub"}, failed, is_a_folder, ""},
    {"destination_is_a_link_into_a_missing_folder", {"--src=doc.pdf", "--dest=dangling.txt"}, failed,
     no_such_file, ""},
    {"default_destination_in_a_folder_without_write_access", {"--src=closed/doc.pdf"}, failed, no_access, "",
     "", "", std::nullopt, true},
    {"destination_in_a_folder_without_write_access", {"--src=doc.pdf", "--dest=closed/out.txt"}, failed,
     no_access, "", "", "", std::nullopt, true},
    {"read_only_destination", {"--src=doc.pdf", "--dest=readonly.txt"}, failed, "", read_only, "", "",
     std::nullopt, true},

    // The default name is not probed for being read-only: the run fails to create it.
    {"read_only_default_destination", {"--src=guarded.pdf"}, failed, no_access, "", "", "", std::nullopt,
     true},
    {"unreadable_source", {"--src=secret.pdf", "--dest=out.txt"}, failed, "", source_missing, "", "",
     std::nullopt, true},
};

class qltagent : public testing::TestWithParam<console_case> {};

TEST_P(qltagent, command_line)
{
    const console_case& c = GetParam();
    test_support::settings_home home;
    const fs::path work = home.path() / "work";
    prepare_work(work);
    settings seeded = before_run;
    transfer_settings(seeded, true);
    if (c.unprivileged) {
        test_support::open_to_everyone(home.path());
        test_support::open_to_everyone(work);
        test_support::open_to_everyone(work / "sub");
    }
    const auto files_before = test_support::files_below(work);

    std::vector<std::string> arguments;
    for (const auto& argument : c.arguments)
        arguments.push_back(expand(argument, work.string()));
    qltagent_process::launch how {arguments, home.path(), work, c.unprivileged};
    how.file_size_limit = c.file_size_limit;
    const auto result = qltagent_process::run(how);

    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);

    auto files_expected = files_before;
    if (!c.dest.empty()) {
        files_expected.insert(c.dest);
        EXPECT_EQ(read_file((work / c.dest).string()), c.dest_bytes);
    }
    EXPECT_EQ(test_support::files_below(work), files_expected);
    EXPECT_EQ(read_file((work / "readonly.txt").string()), "keep me");
    EXPECT_EQ(read_file((work / "guarded.txt").string()), "keep me");
    EXPECT_EQ(read_file((work / "kept.txt").string()), "keep me");
    EXPECT_EQ(read_file((work / "doc.pdf").string()), read_file(QLT_FIXTURES_DIR "/five_pages.pdf"));
    EXPECT_EQ(read_file((work / "notes.txt").string()), read_file(QLT_FIXTURES_DIR "/five_pages.pdf"));

    settings expected = c.stored.value_or(before_run);
    expected.src = expand(expected.src, work.string());
    expected.dest = expand(expected.dest, work.string());
    settings stored;
    transfer_settings(stored, false);
    EXPECT_EQ(stored, expected);
}

INSTANTIATE_TEST_SUITE_P(cases, qltagent, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<console_case>& info) { return info.param.name; });

// A document whose page tree the library can't read, or that holds other pages than the
// library counts, fails as unreadable before a destination exists, and the settings are not
// stored. A valid document of no pages converts to nothing.
std::vector<console_case> page_tree_cases()
{
    static std::vector<std::string> names; // the cases keep pointers to their names
    std::vector<console_case> cases;
    const auto add = [&](const std::string& file, const std::string& dest) {
        names.push_back(fs::path(file).stem().string());
        const std::string src = "--src=" QLT_FIXTURES_DIR "/" + file;
        cases.push_back({nullptr, {src, "--dest=out.txt"}, failed, unreadable, "", dest, ""});
    };
    for (const char* broken : test_support::page_trees_refused_at_opening)
        add(broken, "");
    for (const char* broken : test_support::page_trees_refused_by_a_whole_run)
        add(broken, "");
    names.push_back("valid_document_without_pages");
    const std::string empty = QLT_FIXTURES_DIR "/no_pages.pdf";
    cases.push_back({nullptr, {"--src=" + empty, "--dest=out.txt"}, 0, "", "", "out.txt", "",
                     settings {empty, "out.txt", "2", "", false}});
    // A node named twice is walked twice by the library: the tree holds the seven pages it counts.
    names.push_back("node_named_twice");
    const std::string shared = QLT_FIXTURES_DIR "/tree_shared_node.pdf";
    cases.push_back({nullptr, {"--src=" + shared, "--dest=out.txt"}, 0, "", "", "out.txt",
                     five_pages({1, 2, 1, 2, 3, 4, 5}), settings {shared, "out.txt", "2", "", false}});
    for (std::size_t i = 0; i < cases.size(); ++i)
        cases[i].name = names[i].c_str();
    return cases;
}

INSTANTIATE_TEST_SUITE_P(page_trees, qltagent, testing::ValuesIn(page_tree_cases()),
                         [](const testing::TestParamInfo<console_case>& info) { return info.param.name; });

// Passwords of any length: a wrong one is "Incorrect password" before any destination
// exists, also far beyond the 127 bytes that reach the library; a right one longer than
// them opens a document encrypted with its first 127 bytes, and is stored whole. A
// document whose encryption the library can't undo is unreadable, with its password too.
std::vector<console_case> password_cases()
{
    static std::vector<std::string> names; // the cases keep pointers to their names
    std::vector<console_case> cases;
    const auto add = [&](const std::string& name, const std::string& file, const std::string& password,
                         const std::string& out) {
        names.push_back(name);
        cases.push_back({nullptr, {"--src=" QLT_FIXTURES_DIR "/" + file, "--dest=out.txt", "--pswd=" + password},
                         failed, out, ""});
    };
    for (const char* file : {"five_pages_aes_256", "five_pages_empty_user"})
        for (std::size_t length : {128, 1000, 100000})
            add(std::string(file) + "_wrong_" + std::to_string(length), std::string(file) + ".pdf",
                std::string(length, 'a'), wrong_password);
    // Encrypted with all of the password's 150 bytes, more than can be given.
    add("encrypted_with_150_bytes", "five_pages_long_password.pdf", fixture_text::long_password(), wrong_password);
    for (const char* file : {"encrypt_version_9", "encrypt_revision_9", "encrypt_unknown_method_aes_128",
                             "encrypt_unknown_method_aes_256"})
        add(file, std::string(file) + ".pdf", "user-secret", unreadable);

    names.push_back("password_longer_than_127_bytes");
    const std::string src = QLT_FIXTURES_DIR "/five_pages_password_127.pdf";
    const std::string password = fixture_text::long_password();
    cases.push_back({nullptr, {"--src=" + src, "--dest=out.txt", "--pswd=" + password}, 0, "", "", "out.txt",
                     all_pages, settings {src, "out.txt", "2", password, false}});
    for (std::size_t i = 0; i < cases.size(); ++i)
        cases[i].name = names[i].c_str();
    return cases;
}

INSTANTIATE_TEST_SUITE_P(passwords, qltagent, testing::ValuesIn(password_cases()),
                         [](const testing::TestParamInfo<console_case>& info) { return info.param.name; });

// Something other than a small regular file where the program reads one at start-up (its
// settings, the library's configuration file): the run neither hangs on it nor reads it
// into memory, and converts with the defaults; the settings land in a regular file.
TEST(qltagent_start_up_files, odd_files_neither_hang_nor_abort)
{
    using home_path = fs::path (*)(const test_support::settings_home&);
    struct place {
        const char* name;
        home_path path;
        const char* text; // what the huge file begins with: settings that would show if read
    };
    const place places[] = {
        {"settings", [](const test_support::settings_home& home) { return home.config() / "Corvane" / "Lumetra.reg"; },
         "\"src\"=\"huge\"\n;"},
        {"~/.xpdfrc", [](const test_support::settings_home& home) { return home.path() / ".xpdfrc"; },
         "textEOL unix\ntextPageBreaks no\n"},
    };
    for (const place& at : places) {
        for (const test_support::odd_file& odd : test_support::odd_files) {
            SCOPED_TRACE(std::string(at.name) + ": " + odd.name);
            test_support::settings_home home;
            const fs::path work = home.path() / "work";
            prepare_work(work);
            const fs::path path = at.path(home);
            fs::create_directories(path.parent_path());
            odd.make(path, at.text);

            const auto result = qltagent_process::run({{"--src=doc.pdf", "--dest=out.txt"}, home.path(), work});
            EXPECT_FALSE(result.timed_out());
            EXPECT_EQ(result.exit_code, 0);
            EXPECT_EQ(result.err, "");
            EXPECT_EQ(read_file((work / "out.txt").string()), all_pages);

            const fs::path settings_path = home.config() / "Corvane" / "Lumetra.reg";
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(settings_path)));
            settings stored;
            transfer_settings(stored, false);
            EXPECT_EQ(stored, (settings {"doc.pdf", "out.txt", "", "", true}));
        }
    }
}

// What the library's own tool writes for `file`: its text in the program's settings, and
// whether the tool succeeded.
std::optional<std::string> library_tool_text(const fs::path& file, const fs::path& out, const std::string& pages = "")
{
    const std::string command = "pdftotext -q -layout -enc Latin1 -eol dos " + pages + " '" + file.string() + "' '" +
                                out.string() + "'";
    if (std::system(command.c_str()) != 0)
        return std::nullopt;
    return read_file(out.string());
}

// Where the library reads a document, the program converts it as the library's own tool
// does, byte for byte, also where its page tree is not what a plain reading of it gives;
// where the library can't give a page, the program refuses the document.
TEST(qltagent_documents, convert_as_the_library_reads_them)
{
    const struct {
        const char* file;
        const char* pages; // the tool's -f/-l, and the same pages for the program
        const char* range;
    } converted[] = {
        {"five_pages.pdf", "", ""},
        {"five_pages.pdf", "-f 2 -l 4", "2-4"},
        {"damaged_xref.pdf", "", ""},
        {"tree_shared_node.pdf", "", ""},
        {"tree_root_is_page.pdf", "", ""},
        {"tree_cycle_two_paths.pdf", "", ""},
        {"tree_kids_not_dicts.pdf", "", ""},
        {"linearized_null_kid.pdf", "", ""},
        {"linearized_pages_null.pdf", "", ""},
        {"linearized_pages_null.pdf", "-f 5 -l 5", "5"},
        {"rebuilt_table_stale_copy.pdf", "", ""},
        {"rebuilt_table_stale_copy.pdf", "-f 2 -l 3", "2-3"},
        {"rebuilt_table_page_3_mended.pdf", "", ""},
        {"rebuilt_table_page_3_saved_again.pdf", "", ""},
        {"rebuilt_table_page_3_saved_again.pdf", "-f 3 -l 4", "3-4"},
        {"two_columns.pdf", "", ""},
    };
    test_support::settings_home home;
    for (const auto& c : converted) {
        SCOPED_TRACE(std::string(c.file) + " " + c.range);
        const fs::path src = fs::path(QLT_FIXTURES_DIR) / c.file;
        const std::optional<std::string> expected = library_tool_text(src, home.path() / "tool.txt", c.pages);
        ASSERT_TRUE(expected.has_value());
        std::vector<std::string> arguments = {"--src=" + src.string(), "--dest=out.txt"};
        if (*c.range != '\0')
            arguments.push_back(std::string("--pages=") + c.range);
        const auto result = qltagent_process::run({arguments, home.path(), home.path()});
        EXPECT_EQ(result.exit_code, 0) << result.out;
        EXPECT_EQ(read_file((home.path() / "out.txt").string()), *expected);
    }
}

// A FIFO as destination, with its reader waiting: the text goes through one open of it,
// so the reader gets all of it and then the end.
TEST(qltagent_destination, a_fifo_with_a_reader_gets_the_whole_text)
{
    test_support::settings_home home;
    const fs::path fifo = home.path() / "pipe.txt";
    test_support::make_fifo(fifo.string());
    // What the reader got; kept alive by the reader too, should it never see the end.
    struct reading {
        std::string received;
        std::atomic<bool> done {false};
    };
    const auto state = std::make_shared<reading>();
    std::thread reader([state, fifo] {
        std::ifstream in(fifo, std::ios::binary);
        state->received.assign(std::istreambuf_iterator<char>(in), {});
        state->done = true;
    });
    const auto result = qltagent_process::run(
        {{"--src=" QLT_FIXTURES_DIR "/five_pages.pdf", "--dest=" + fifo.string()}, home.path(), home.path()});
    // A program that never opened the FIFO leaves the reader waiting in its open: writers
    // that come and go let it see the end.
    const bool ended = test_support::wait_until([&] {
        if (!state->done)
            close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
        return state->done.load();
    });
    if (!ended) {
        reader.detach();
        FAIL() << "the reader never saw the end of the FIFO";
    }
    reader.join();
    EXPECT_FALSE(result.timed_out());
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(state->received, all_pages);
}

// Another program writes the source while the run converts it, held after two of its five
// pages: the run fails as on an unreadable document, before the destination is written.
// A rename leaves the file that the check opened, and the run converts it whole.
TEST(qltagent_held_run, a_source_written_during_the_run_fails_it)
{
    const std::string original = read_file(QLT_FIXTURES_DIR "/five_pages.pdf");
    for (const test_support::source_change& change : test_support::source_changes) {
        SCOPED_TRACE(change.name);
        test_support::settings_home home;
        const std::string src = home.file("changing.pdf");
        const std::string dest = home.file("kept.txt");
        test_support::write_dated_source(src, original);
        write_file(dest, "keep me");
        const auto result = qltagent_process::run_held({{"--src=" + src, "--dest=" + dest}, home.path(), home.path()},
                                                       2, [&] { change.apply(src, original); });
        EXPECT_EQ(result.err, "");
        if (change.fails) {
            EXPECT_EQ(result.exit_code, failed);
            EXPECT_EQ(result.out, unreadable);
            EXPECT_EQ(read_file(dest), "keep me");
        } else {
            EXPECT_EQ(result.exit_code, 0);
            EXPECT_EQ(read_file(dest), all_pages);
        }
    }
}

// A file that the user may write, in a folder that the user may not write: the run writes
// it in place (its text is staged elsewhere), and the folder gains nothing.
TEST(qltagent_destination, a_writable_file_in_a_folder_without_write_access_is_written_in_place)
{
    test_support::settings_home home;
    const fs::path closed = home.path() / "closed";
    fs::create_directories(closed);
    const std::string dest = (closed / "writable.txt").string();
    write_file(dest, "keep me");
    fs::permissions(dest, fs::perms::all);
    struct stat before {};
    ASSERT_EQ(stat(dest.c_str(), &before), 0);
    test_support::open_tree_to_everyone(home.path());
    fs::permissions(closed, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const auto result = qltagent_process::run(
        {{"--src=" QLT_FIXTURES_DIR "/five_pages.pdf", "--dest=" + dest}, home.path(), home.path(), true});
    EXPECT_EQ(result.exit_code, 0) << result.out << result.err;
    EXPECT_EQ(read_file(dest), all_pages);
    struct stat after {};
    ASSERT_EQ(stat(dest.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(test_support::files_below(closed), std::set<std::string> {"writable.txt"});
}

TEST(qltagent_destination, standard_output_as_the_destination_gets_the_text)
{
    test_support::settings_home home;
    const auto result =
        qltagent_process::run({{"--src=" QLT_FIXTURES_DIR "/five_pages.pdf", "--dest=/dev/stdout", "--pages=3,1"},
                               home.path(), home.path()});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out, five_pages({3, 1}));
    EXPECT_EQ(result.err, "");
}

} // namespace
