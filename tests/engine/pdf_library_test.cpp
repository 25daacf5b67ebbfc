#include "../fixtures/long_password.h"
#include "../fixtures/minimal_pdf.h"
#include "../fixtures/two_columns_text.h"
#include "broken_page_trees.h"
#include "engine_test_support.h"
#include "message_table.h"
#include "odd_files.h"
#include "pdf_library.h"
#include "pdf_page_tree.h"
#include "test_support.h"
#include "tk_exception.h"
#include "tk_log.h"

#include <GlobalParams.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using engine_test::fixture;

enum class opened { ok, not_valid, unreadable, wrong_password };

const char* name_of(opened o)
{
    switch (o) {
    case opened::ok: return "ok";
    case opened::not_valid: return "not valid";
    case opened::unreadable: return "unreadable";
    case opened::wrong_password: return "wrong password";
    }
    return "?";
}

// Opens `file` by its name, or (`through_open_file`) through a pdf_source_file of it.
opened try_open(const std::string& file, const std::optional<std::string>& password, bool through_open_file = false)
{
    try {
        if (through_open_file) {
            pdf_source_file source(file);
            if (!source.is_open())
                return opened::not_valid;
            return pdf_open_document(source, password)->isOk() ? opened::ok : opened::not_valid;
        }
        const auto doc = pdf_open_document(file, password);
        return doc->isOk() ? opened::ok : opened::not_valid;
    } catch (const pdf_wrong_pswd_exception& e) {
        EXPECT_STREQ(e.what(), msg::incorrect_password);
        EXPECT_EQ(e.level, 1);
        return opened::wrong_password;
    } catch (const tk_exception& e) {
        EXPECT_STREQ(e.what(), msg::pdf_unreadable);
        EXPECT_EQ(e.level, 1);
        return opened::unreadable;
    }
}

struct open_case {
    const char* file;
    std::optional<std::string> password;
    opened expected;
};

// Each case opened by its name and through one open file, as a run reads it: the outcome
// must be the case's either way.
void expect_each_outcome(const std::vector<open_case>& cases)
{
    for (const open_case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " with " + (c.password ? "<" + *c.password + ">" : "no password"));
        EXPECT_STREQ(name_of(try_open(fixture(c.file), c.password)), name_of(c.expected));
        EXPECT_STREQ(name_of(try_open(fixture(c.file), c.password, true)), name_of(c.expected));
    }
}

TEST(pdf_library, maps_each_opening_to_its_outcome)
{
    pdf_library library;
    const std::string encrypted[] = {"five_pages_rc4_40.pdf", "five_pages_rc4_128.pdf", "five_pages_aes_128.pdf",
                                     "five_pages_aes_256.pdf"};
    std::vector<open_case> cases = {
        {"five_pages.pdf", std::nullopt, opened::ok},
        {"five_pages.pdf", "ignored", opened::ok},
        {"five_pages_empty_user.pdf", "", opened::ok},
        {"five_pages_empty_user.pdf", std::nullopt, opened::ok},
        {"five_pages_empty_user.pdf", "owner-secret", opened::ok},
        {"five_pages_empty_user.pdf", "wrong", opened::wrong_password},
        {"other_filter.pdf", "", opened::unreadable},
        {"other_filter.pdf", "user-secret", opened::unreadable},
        {"damaged_xref.pdf", "", opened::ok},
        {"no_pages.pdf", "", opened::ok},
        {"not_a_pdf.pdf", "", opened::unreadable},
        {"truncated.pdf", "", opened::unreadable},
        {"missing.pdf", "", opened::not_valid},
    };
    for (const char* file : test_support::page_trees_refused_at_opening)
        cases.push_back({file, std::nullopt, opened::unreadable});
    // Their fault shows only to a walk of the tree, which opening does not make.
    for (const char* file : test_support::page_trees_refused_by_a_whole_run)
        cases.push_back({file, std::nullopt, opened::ok});
    for (const std::string& file : encrypted) {
        cases.push_back({file.c_str(), "user-secret", opened::ok});
        cases.push_back({file.c_str(), "owner-secret", opened::ok});
        cases.push_back({file.c_str(), "wrong", opened::wrong_password});
        cases.push_back({file.c_str(), "", opened::wrong_password});
        cases.push_back({file.c_str(), std::nullopt, opened::wrong_password});
    }
    expect_each_outcome(cases);
}

// The library tells its rebuilds of the cross-reference table also for a document read
// through an open file: at the opening, and when a page first read makes it rebuild.
TEST(pdf_library, an_open_file_tells_the_rebuilds_of_the_table)
{
    pdf_library library;
    const struct {
        const char* file;
        int at_opening;
        int after_page_3;
    } cases[] = {
        {"five_pages.pdf", 0, 0},
        {"damaged_xref.pdf", 1, 1},
        {"rebuilt_table_stale_copy.pdf", 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        pdf_source_file source(fixture(c.file));
        ASSERT_TRUE(source.is_open());
        int rebuilds = 0;
        const auto doc = pdf_open_document(source, std::nullopt, [&] { ++rebuilds; });
        EXPECT_EQ(rebuilds, c.at_opening);
        EXPECT_NE(doc->getPage(3), nullptr);
        EXPECT_EQ(rebuilds, c.after_page_3);
        EXPECT_FALSE(source.changed());
    }
}

// Of a password only its first 127 bytes reach the library, whose AES-256 hash holds no
// more: a longer one is judged by them, wrong ones of any length and bytes are wrong, and
// none overruns the library's buffers.
TEST(pdf_library, a_password_is_judged_by_its_first_127_bytes)
{
    pdf_library library;
    const std::string long_password = fixture_text::long_password();
    const std::string kept = long_password.substr(0, 127);
    std::string odd_bytes(1000, '\0');
    for (std::size_t i = 0; i < odd_bytes.size(); i += 2)
        odd_bytes[i] = '\xff';
    std::vector<open_case> cases = {
        // Encrypted with the first 127 bytes: every password that starts with them opens it.
        {"five_pages_password_127.pdf", long_password, opened::ok},
        {"five_pages_password_127.pdf", kept, opened::ok},
        {"five_pages_password_127.pdf", kept + std::string(1000, '!'), opened::ok},
        {"five_pages_password_127.pdf", kept.substr(0, 126), opened::wrong_password},
        {"five_pages_password_127.pdf", "owner-secret", opened::ok},
        // Encrypted with all 150 bytes: no password of 127 bytes can open it, the owner's still does.
        {"five_pages_long_password.pdf", long_password, opened::wrong_password},
        {"five_pages_long_password.pdf", kept, opened::wrong_password},
        {"five_pages_long_password.pdf", "owner-secret", opened::ok},
    };
    for (const char* file : {"five_pages_rc4_40.pdf", "five_pages_rc4_128.pdf", "five_pages_aes_128.pdf",
                             "five_pages_aes_256.pdf", "five_pages_empty_user.pdf"}) {
        for (std::size_t length : {127, 128, 1000, 100000})
            cases.push_back({file, std::string(length, 'a'), opened::wrong_password});
        cases.push_back({file, odd_bytes, opened::wrong_password});
    }
    for (const open_case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " with a password of " + std::to_string(c.password->size()) + " bytes");
        EXPECT_STREQ(name_of(try_open(fixture(c.file), c.password)), name_of(c.expected));
    }
}

// A document whose standard handler the library can't undo (a version, revision or crypt
// filter method it does not support) is unreadable, with any password: the library would
// read it as if nothing were encrypted, or decrypt it wrongly. A wrong password is still
// told where the library checks it. Crypt filters that encrypt nothing are no encryption.
TEST(pdf_library, a_document_the_library_cannot_decrypt_is_unreadable)
{
    pdf_library library;
    std::vector<open_case> cases = {
        {"encrypt_unknown_method_aes_256.pdf", "wrong", opened::wrong_password},
        {"encrypt_identity.pdf", std::nullopt, opened::ok},
        {"encrypt_identity.pdf", "any", opened::ok},
    };
    for (const char* file : {"encrypt_version_9.pdf", "encrypt_revision_9.pdf", "encrypt_unknown_method_aes_128.pdf",
                             "encrypt_unknown_method_aes_256.pdf"}) {
        cases.push_back({file, "user-secret", opened::unreadable});
        cases.push_back({file, "owner-secret", opened::unreadable});
    }
    for (const char* file : {"encrypt_version_9.pdf", "encrypt_revision_9.pdf", "encrypt_unknown_method_aes_128.pdf"})
        cases.push_back({file, std::nullopt, opened::unreadable});
    expect_each_outcome(cases);
}

// Only a tree that holds more leaf pages than the library counts is found by the walk;
// pages the library can't reach are its own to tell.
TEST(pdf_library, the_walk_finds_a_tree_that_holds_more_pages_than_the_count)
{
    pdf_library library;
    const std::pair<const char*, bool> cases[] = {
        {"five_pages.pdf", false},          {"no_pages.pdf", false},
        {"damaged_xref.pdf", false},        {"five_pages_aes_256.pdf", false},
        {"tree_shared_node.pdf", false},    {"tree_cycle.pdf", false},
        {"tree_page_missing.pdf", false},   {"tree_count_over.pdf", false},
        {"tree_root_is_page.pdf", false},   {"tree_cycle_two_paths.pdf", false},
        {"linearized_null_kid.pdf", false}, {"linearized_pages_null.pdf", false},
        {"tree_count_under.pdf", true},     {"tree_count_fraction.pdf", true},
        {"tree_count_exponent.pdf", true},  {"linearized_count_under.pdf", true},
    };
    for (const auto& [file, more] : cases) {
        SCOPED_TRACE(file);
        const auto doc = pdf_open_document(fixture(file), "user-secret");
        EXPECT_EQ(pdf_page_tree_holds_more_than_count(*doc), more);
    }
}

// The walk keeps its own stack: a depth that would overflow the call stack of a recursive
// walk costs it memory only.
TEST(pdf_library, a_page_tree_nested_deeply_is_walked_without_the_call_stack)
{
    pdf_library library;
    test_support::temp_dir dir;
    const std::string file = dir.file("deep.pdf");
    ASSERT_TRUE(minimal_pdf::write(file, minimal_pdf::render_nested(100000, {"Deep page"})));
    const auto doc = pdf_open_document(file, std::nullopt);
    EXPECT_EQ(doc->getNumPages(), 1);
    EXPECT_FALSE(pdf_page_tree_holds_more_than_count(*doc));
}

TEST(pdf_library, a_file_without_read_access_gives_a_document_that_is_not_valid)
{
    pdf_library library;
    test_support::temp_dir dir;
    const std::string file = dir.file("locked.pdf");
    test_support::write_file(file, test_support::read_file(fixture("five_pages.pdf")));
    test_support::open_to_everyone(dir.path());
    test_support::set_mode(file, 0);
    const int result = test_support::run_unprivileged(
        [&] { return try_open(file, std::nullopt) == opened::not_valid ? 0 : 1; });
    EXPECT_EQ(result, 0);
}

std::string convert_pages(const std::string& src, const std::string& dest, std::initializer_list<int> pages,
                          const pdf_text_settings& settings = {})
{
    const auto doc = pdf_open_document(src, std::nullopt);
    pdf_text_output out(dest, settings);
    for (int page : pages)
        pdf_display_page(*doc, out, page);
    out.copy_into_destination();
    return test_support::read_file(dest);
}

TEST(pdf_library, writes_latin1_text_with_dos_lines_and_a_page_break_per_page)
{
    pdf_library library;
    test_support::temp_dir dir;
    EXPECT_EQ(convert_pages(fixture("latin1.pdf"), dir.file("latin1.txt"), {1}),
              "Caf\xe9 M\xfcller Stra\xdf" "e\r\n\f");
    EXPECT_EQ(convert_pages(fixture("five_pages.pdf"), dir.file("five.txt"), {4, 2}),
              "Fixture page 4 of 5\r\nWord delta\r\n\fFixture page 2 of 5\r\nWord bravo\r\n\f");
}

TEST(pdf_library, keeps_only_the_text_inside_the_crop_box)
{
    pdf_library library;
    test_support::temp_dir dir;
    EXPECT_EQ(convert_pages(fixture("crop_box.pdf"), dir.file("crop.txt"), {1}), "Inside the crop box\r\n\f");
}

TEST(pdf_library, keeps_the_physical_layout_of_a_page_shown_at_72_dpi)
{
    pdf_library library;
    test_support::temp_dir dir;
    EXPECT_EQ(convert_pages(fixture("two_columns.pdf"), dir.file("columns.txt"), {1}), fixture_text::two_columns);
}

// The device creates or empties its destination: no text of an earlier file stays.
TEST(pdf_library, empties_the_destination)
{
    pdf_library library;
    test_support::temp_dir dir;
    test_support::write_file(dir.file("out.txt"), "before, and longer than the page's text\n");
    EXPECT_EQ(convert_pages(fixture("latin1.pdf"), dir.file("out.txt"), {1}), "Caf\xe9 M\xfcller Stra\xdf" "e\r\n\f");
}

void expect_system_error(const std::function<void()>& step, int code)
{
    try {
        step();
        ADD_FAILURE() << "no exception";
    } catch (const tk_exception& e) {
        EXPECT_EQ(e.level, 1);
        EXPECT_EQ(e.code, code);
        EXPECT_STREQ(e.what(), std::strerror(code));
    }
}

// The pages' text reaches the destination only when the device copies it in: until then
// an existing destination keeps its bytes, and a missing one is not made.
TEST(pdf_library, the_destination_is_written_only_when_the_text_is_copied_in)
{
    pdf_library library;
    test_support::temp_dir dir;
    const auto doc = pdf_open_document(fixture("five_pages.pdf"), std::nullopt);
    const std::string kept = dir.file("kept.txt");
    test_support::write_file(kept, "before");
    {
        pdf_text_output out(kept, {});
        pdf_display_page(*doc, out, 2);
        EXPECT_EQ(test_support::read_file(kept), "before");
    }
    EXPECT_EQ(test_support::read_file(kept), "before");
    {
        pdf_text_output out(dir.file("new.txt"), {});
        pdf_display_page(*doc, out, 2);
    }
    // Nothing of the staged text is left beside the destination either.
    EXPECT_EQ(test_support::files_below(dir.path()), std::set<std::string> {"kept.txt"});
}

TEST(pdf_library, a_destination_that_cannot_be_opened_is_an_error_with_the_system_text)
{
    pdf_library library;
    test_support::temp_dir dir;
    const auto doc = pdf_open_document(fixture("five_pages.pdf"), std::nullopt);
    expect_system_error(
        [&] {
            pdf_text_output out(dir.file("no/such/folder.txt"), {});
            pdf_display_page(*doc, out, 1);
            out.copy_into_destination();
        },
        ENOENT);
}

// A full disk is reported, not lost: one that fills while the text is staged (a file size
// limit stands in for it) before the destination is opened, so the destination keeps its
// bytes; one that fills while the text is copied in when the copy fails.
TEST(pdf_library, a_failed_write_is_an_error_with_the_system_text)
{
    pdf_library library;
    const auto doc = pdf_open_document(fixture("five_pages.pdf"), std::nullopt);
    expect_system_error(
        [&] {
            pdf_text_output out("/dev/full", {});
            pdf_display_page(*doc, out, 1);
            out.copy_into_destination();
        },
        ENOSPC);

    test_support::temp_dir dir;
    const std::string dest = dir.file("kept.txt");
    test_support::write_file(dest, "before");
    for (const int pages : {5, 1000}) {
        SCOPED_TRACE(pages);
        const int result = test_support::run_with_file_size_limit(64, [&] {
            try {
                pdf_text_output out(dest, {});
                for (int page = 0; page < pages; ++page)
                    pdf_display_page(*doc, out, 1 + page % 5);
                out.copy_into_destination();
            } catch (const tk_exception& e) {
                return e.level == 1 && e.code == EFBIG && std::string(e.what()) == std::strerror(EFBIG) ? 0 : 1;
            }
            return 2;
        });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(test_support::read_file(dest), "before");
    }
}

struct config_case {
    const char* text;
    std::string encoding;
    EndOfLineKind end_of_line;
    bool page_breaks;
};

TEST(pdf_library, reads_the_text_settings_of_a_configuration_file)
{
    const config_case cases[] = {
        {"", "Latin1", eolDOS, true},
        {"textEncoding UTF-8\ntextEOL unix\ntextPageBreaks no\n", "UTF-8", eolUnix, false},
        {"textEOL mac", "Latin1", eolMac, true},
        {"textEOL dos\r\ntextPageBreaks yes\r\n", "Latin1", eolDOS, true},
        {"  textEncoding \t \"ASCII7\"  ", "ASCII7", eolDOS, true},
        {"# textEOL unix\n#textPageBreaks no", "Latin1", eolDOS, true},
        {"textEOL UNIX\ntextPageBreaks maybe\ntextEOL\ntextEncoding a b\ntextEncoding \"open", "Latin1", eolDOS,
         true},
        {"fontFile Helvetica /x.pfa\nunknownKey 1\n\x01\xff garbage", "Latin1", eolDOS, true},
        {"textEOL unix\ntextEOL dos", "Latin1", eolDOS, true},
    };
    for (const config_case& c : cases) {
        SCOPED_TRACE(c.text);
        pdf_text_settings settings;
        pdf_apply_config_text(c.text, settings);
        EXPECT_EQ(settings.encoding, c.encoding);
        EXPECT_EQ(settings.end_of_line, c.end_of_line);
        EXPECT_EQ(settings.page_breaks, c.page_breaks);
    }
}

TEST(pdf_library, takes_the_users_configuration_file_before_the_systems)
{
    test_support::temp_dir home;
    const std::string system_file = home.file("system-xpdfrc");
    EXPECT_EQ(pdf_load_text_settings(home.path().c_str(), system_file).end_of_line, eolDOS);
    EXPECT_EQ(pdf_load_text_settings(nullptr, system_file).end_of_line, eolDOS);

    test_support::write_file(system_file, "textEOL mac\n");
    EXPECT_EQ(pdf_load_text_settings(home.path().c_str(), system_file).end_of_line, eolMac);
    EXPECT_EQ(pdf_load_text_settings(nullptr, system_file).end_of_line, eolMac);

    test_support::write_file(home.file(".xpdfrc"), "textPageBreaks no\n");
    const pdf_text_settings settings = pdf_load_text_settings(home.path().c_str(), system_file);
    EXPECT_EQ(settings.end_of_line, eolDOS);
    EXPECT_FALSE(settings.page_breaks);
}

// Only a regular file of at most 1 MiB is read as a configuration file: anything else at
// the user's path counts as no file (the system's file is read instead), and no reader
// hangs on it or fills the memory with it.
TEST(pdf_library, a_configuration_file_that_is_no_small_regular_file_counts_as_none)
{
    const std::string settings_text = "textEOL unix\ntextPageBreaks no\n";
    const auto padded = [&](std::size_t size) { return settings_text + std::string(size - settings_text.size(), '#'); };
    struct odd_case {
        std::string name;
        std::function<void(const fs::path& path)> make;
        bool read;
    };
    std::vector<odd_case> cases = {
        {"1 MiB", [&](const fs::path& path) { test_support::write_file(path, padded(1 << 20)); }, true},
        {"1 MiB and a byte", [&](const fs::path& path) { test_support::write_file(path, padded((1 << 20) + 1)); },
         false},
        {"folder", [](const fs::path& path) { fs::create_directory(path); }, false},
    };
    for (const test_support::odd_file& odd : test_support::odd_files)
        cases.push_back({odd.name, [&, make = odd.make](const fs::path& path) { make(path, settings_text); }, false});
    for (const odd_case& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::temp_dir home;
        const std::string system_file = home.file("system-xpdfrc");
        test_support::write_file(system_file, "textEOL mac\n");
        c.make(home.file(".xpdfrc"));
        const pdf_text_settings settings = pdf_load_text_settings(home.path().c_str(), system_file);
        EXPECT_EQ(settings.end_of_line, c.read ? eolUnix : eolMac);
        EXPECT_EQ(settings.page_breaks, !c.read);

        // The same at the system's path: the defaults.
        fs::remove_all(system_file);
        c.make(system_file);
        EXPECT_EQ(pdf_load_text_settings(nullptr, system_file).end_of_line, c.read ? eolUnix : eolDOS);
    }
}

TEST(pdf_library, a_configuration_file_not_read_is_logged)
{
    test_support::temp_dir home;
    tk_log_settings log(home.file("log.txt"), 0, true, true, false);
    const std::string system_file = home.file("xpdfrc");
    test_support::make_fifo(system_file);
    pdf_load_text_settings(home.path().c_str(), system_file);
    EXPECT_EQ(test_support::read_file(log.file_name),
              "Configuration file " + system_file + " not read: " + std::strerror(EINVAL) + "\r\n");
}

// The library object installs the global settings with the file's settings applied, and
// keeps Latin1 when the file names an encoding that the library does not know.
TEST(pdf_library, installs_the_global_settings_for_its_lifetime)
{
    engine_test::scoped_home home;
    EXPECT_EQ(globalParams, nullptr);
    {
        test_support::write_file(home.file(".xpdfrc"), "textEncoding UTF-8\ntextEOL unix\n");
        pdf_library library;
        ASSERT_NE(globalParams, nullptr);
        EXPECT_EQ(globalParams->getTextEncodingName(), "UTF-8");
        EXPECT_TRUE(globalParams->getErrQuiet());
        EXPECT_EQ(library.text_settings().end_of_line, eolUnix);
        test_support::temp_dir dir;
        EXPECT_EQ(convert_pages(fixture("latin1.pdf"), dir.file("utf8.txt"), {1}, library.text_settings()),
                  "Caf\xc3\xa9 M\xc3\xbcller Stra\xc3\x9f" "e\n\f");
    }
    EXPECT_EQ(globalParams, nullptr);
    {
        test_support::write_file(home.file(".xpdfrc"), "textEncoding NoSuchEncoding\n");
        pdf_library library;
        EXPECT_EQ(library.text_settings().encoding, "Latin1");
        EXPECT_EQ(globalParams->getTextEncodingName(), "Latin1");
    }
}

} // namespace
