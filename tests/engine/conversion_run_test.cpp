#include "../fixtures/five_pages_text.h"
#include "../fixtures/long_password.h"
#include "../fixtures/two_columns_text.h"
#include "broken_page_trees.h"
#include "engine_test_support.h"
#include "message_table.h"
#include "quillet_convertor.h"
#include "run_gate.h"
#include "source_changes.h"
#include "tk_error_handler.h"
#include "tk_thread.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using engine_test::fixture;
using fixture_text::five_pages;
using test_support::read_file;

// A converter and an error handler as the console program has them, with a private home.
struct run_test : testing::Test {
    engine_test::scoped_home home;
    quillet_convertor converter;
    error_handler handler;

    void prepare(const std::string& src, const std::string& password, const std::string& range)
    {
        converter.src = fixture(src);
        converter.dest = home.file("out.txt");
        converter.password = password;
        converter.set_page_range(range);
        converter.pages_done = 0;
        converter.pages_total = 0;
    }

    // Runs the document's steps, which must fail with `message` at level 1.
    void expect_failure(const std::string& message)
    {
        try {
            converter.convert_document();
            ADD_FAILURE() << "no exception";
        } catch (const tk_exception& e) {
            EXPECT_EQ(e.what(), message);
            EXPECT_EQ(e.level, 1);
        }
    }
};

struct success_case {
    const char* src;
    const char* password;
    const char* range;
    std::string text;
    std::uint32_t total;
};

TEST_F(run_test, converts_the_selected_pages_in_list_order)
{
    const std::string long_password = fixture_text::long_password();
    const success_case cases[] = {
        {"five_pages.pdf", "", "", five_pages({1, 2, 3, 4, 5}), 5},
        {"five_pages.pdf", "", "2,9,3", five_pages({2, 3}), 3},
        {"five_pages.pdf", "", "1-3,2", five_pages({1, 2, 3, 2}), 4},
        {"five_pages.pdf", "", "5,4-5,6-8", five_pages({5, 4, 5}), 6},
        {"five_pages.pdf", "not needed", "1", five_pages({1}), 1},
        {"five_pages_rc4_40.pdf", "user-secret", "", five_pages({1, 2, 3, 4, 5}), 5},
        {"five_pages_rc4_128.pdf", "owner-secret", "3", five_pages({3}), 1},
        {"five_pages_aes_128.pdf", "user-secret", "4", five_pages({4}), 1},
        {"five_pages_aes_256.pdf", "user-secret", "5,1", five_pages({5, 1}), 2},
        {"five_pages_empty_user.pdf", "", "2", five_pages({2}), 1},
        // A password longer than the 127 bytes that the standard keeps of it.
        {"five_pages_password_127.pdf", long_password.c_str(), "3", five_pages({3}), 1},
        // Crypt filters that encrypt nothing: the document is read as it stands.
        {"encrypt_identity.pdf", "", "", five_pages({1, 2, 3, 4, 5}), 5},
        {"damaged_xref.pdf", "", "", five_pages({1, 2, 3, 4, 5}), 5},
        {"no_pages.pdf", "", "", "", 0},
        // A node named twice in the tree: the library walks it twice, as many pages as it counts.
        {"tree_shared_node.pdf", "", "", five_pages({1, 2, 1, 2, 3, 4, 5}), 7},
        // A page list is not checked against the tree: the pages that the library counts
        // are converted, the others skipped.
        {"tree_count_under.pdf", "", "1-5", five_pages({1, 2, 3}), 5},
        {"tree_count_over.pdf", "", "5,4", five_pages({5, 4}), 2},
        // Trees that the library reads otherwise than a plain walk: the pages are its own.
        {"tree_root_is_page.pdf", "", "", five_pages({1}), 1},
        {"tree_cycle_two_paths.pdf", "", "", five_pages({2, 1, 1, 2}), 4},
        {"linearized_null_kid.pdf", "", "", five_pages({1, 2, 3, 4, 5}), 5},
        {"linearized_pages_null.pdf", "", "4", five_pages({4}), 1},
        // The library rebuilds its table part way: the pages are those that it reads page
        // by page, as its own tool does, from the first table and then the rebuilt one.
        {"rebuilt_table_stale_copy.pdf", "", "", five_pages({1, 2, 3}), 3},
        {"rebuilt_table_page_3_mended.pdf", "", "", five_pages({1, 2, 3, 4, 5}), 5},
        {"rebuilt_table_page_3_saved_again.pdf", "", "",
         five_pages({1, 2}) + "Fixture page 3 of 5\r\nWord charlie, saved again\r\n\f" + five_pages({4, 5}), 5},
        {"latin1.pdf", "", "", "Caf\xe9 M\xfcller Stra\xdf" "e\r\n\f", 1},
        {"two_columns.pdf", "", "", fixture_text::two_columns, 1},
    };
    for (const success_case& c : cases) {
        SCOPED_TRACE(std::string(c.src) + " pages <" + c.range + ">");
        prepare(c.src, c.password, c.range);
        test_support::write_file(converter.dest, "old content");
        EXPECT_NO_THROW(converter.convert_document());
        EXPECT_EQ(read_file(converter.dest), c.text);
        EXPECT_EQ(converter.pages_total, c.total);
        EXPECT_EQ(converter.pages_done, c.total);
    }
}

TEST_F(run_test, a_whole_run_ends_finished_with_nothing_reported)
{
    prepare("five_pages.pdf", "", "4,2");
    EXPECT_EQ(converter.get_progress(), 0.0);
    testing::internal::CaptureStdout();
    converter();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(converter.finished);
    EXPECT_EQ(converter.get_progress(), 100.0);
    EXPECT_EQ(read_file(converter.dest), five_pages({4, 2}));
}

// When a refusal comes: before the first page (the counters stay at 0), or from what
// the library gives as the run converts the pages.
enum class refused { before_the_pages, while_converting };

struct failure_case {
    const char* src;
    const char* password;
    std::string range;
    std::string message;
    refused when;
};

// Every refusal leaves the destination as it was: what can be known before a page is
// converted (the document, its password, the page list, the tree's walk) comes before
// the pages, the rest (a page the library can't make, a tree that the rebuilt table makes
// hold more pages than its count) while they are converted, before anything is written.
TEST_F(run_test, each_refusal_leaves_the_destination_as_it_was)
{
    constexpr refused before = refused::before_the_pages;
    constexpr refused converting = refused::while_converting;
    std::vector<failure_case> cases = {
        {"five_pages_aes_256.pdf", "wrong", "1-3", msg::incorrect_password, before},
        {"five_pages_rc4_40.pdf", "", "1-3", msg::incorrect_password, before},
        {"other_filter.pdf", "user-secret", "1-3", msg::pdf_unreadable, before},
        {"encrypt_version_9.pdf", "user-secret", "1-3", msg::pdf_unreadable, before},
        {"not_a_pdf.pdf", "", "1-3", msg::pdf_unreadable, before},
        {"truncated.pdf", "", "1-3", msg::pdf_unreadable, before},
        {"missing.pdf", "", "1-3", msg::pdf_unreadable, before},
        // A list that names no page of the document would convert nothing.
        {"five_pages.pdf", "", "6-9,12", msg::invalid_page_range, before},
        {"no_pages.pdf", "", "1,2", msg::invalid_page_range, before},
        {"tree_count_under.pdf", "", "4-5", msg::invalid_page_range, before},
        // A listed page that the library counts but can't make, after one it can.
        {"tree_count_over.pdf", "", "2,6", msg::pdf_unreadable, converting},
        {"tree_cycle.pdf", "", "1,5", msg::pdf_unreadable, converting},
        {"tree_page_not_made.pdf", "", "3,5,4", msg::pdf_unreadable, converting},
        {"tree_kids_not_array.pdf", "", "1", msg::pdf_unreadable, converting},
        // Page 3 of the first table can't be made; the tree's walk made the library rebuild
        // the table, but the run reads the pages as the library's tool does.
        {"rebuilt_table_page_3_broken_first.pdf", "", "", msg::pdf_unreadable, converting},
        {"rebuilt_table_page_3_broken_first.pdf", "", "2-3", msg::pdf_unreadable, converting},
        // Only the table rebuilt while page 1 was converted holds a page beyond the count.
        {"rebuilt_table_beyond_count.pdf", "", "", msg::pdf_unreadable, converting},
    };
    for (const char* broken : test_support::page_trees_refused_at_opening)
        cases.push_back({broken, "", "1-3", msg::pdf_unreadable, before});
    for (const char* broken : test_support::page_trees_refused_by_a_whole_run)
        cases.push_back(
            {broken, "", "", msg::pdf_unreadable, test_support::holds_more_than_its_count(broken) ? before : converting});
    for (const failure_case& c : cases) {
        SCOPED_TRACE(c.src + (" pages <" + c.range + ">"));
        prepare(c.src, c.password, c.range);
        test_support::write_file(converter.dest, "old content");
        expect_failure(c.message);
        EXPECT_EQ(read_file(converter.dest), "old content");
        if (c.when == before) {
            EXPECT_EQ(converter.pages_total, 0u);
            EXPECT_EQ(converter.pages_done, 0u);
        } else {
            EXPECT_GT(converter.pages_total, 0u);
        }
    }
    // A refused run creates no destination either, and leaves nothing beside it: not
    // before the pages, nor after all of them.
    const std::pair<const char*, const char*> refusals[] = {{"five_pages.pdf", "7-9"},
                                                            {"rebuilt_table_beyond_count.pdf", ""}};
    for (const auto& [document, range] : refusals) {
        SCOPED_TRACE(document);
        prepare(document, "", range);
        std::filesystem::remove(converter.dest);
        const std::set<std::string> files_before = test_support::files_below(home.path());
        expect_failure(*range != '\0' ? msg::invalid_page_range : msg::pdf_unreadable);
        EXPECT_EQ(test_support::files_below(home.path()), files_before);
    }
}

// Another program writes the source while the run converts it, held after two of its five
// pages: the run fails as on an unreadable document, the destination keeps its bytes. A
// source replaced by a rename leaves the file that the run opened as it was: that is the
// document the run converts, whole.
TEST_F(run_test, a_source_written_during_the_run_fails_it)
{
    const std::string original = read_file(fixture("five_pages.pdf"));
    for (const test_support::source_change& change : test_support::source_changes) {
        SCOPED_TRACE(change.name);
        prepare("five_pages.pdf", "", "");
        converter.src = home.file("changing.pdf");
        test_support::write_dated_source(converter.src, original);
        test_support::write_file(converter.dest, "old content");
        converter.before_page_for_tests = [&](std::uint32_t pages_done) {
            if (pages_done == 2)
                change.apply(converter.src, original);
        };
        if (change.fails) {
            expect_failure(msg::pdf_unreadable);
            EXPECT_EQ(read_file(converter.dest), "old content");
        } else {
            EXPECT_NO_THROW(converter.convert_document());
            EXPECT_EQ(read_file(converter.dest), five_pages({1, 2, 3, 4, 5}));
        }
    }
}

// The run converts the document that a front end's check opened, and opens its own when
// that one was opened from another file.
TEST_F(run_test, converts_the_document_handed_over_by_the_check)
{
    prepare("five_pages.pdf", "", "2");
    const std::string copy = home.file("copy.pdf");
    test_support::write_file(copy, read_file(fixture("five_pages.pdf")));
    converter.src = copy;
    converter.hand_over_document(pdf_conversion_document(copy, std::nullopt, converter.page_list));
    // The file is gone once the check has opened it: only the opened document has it.
    ASSERT_EQ(unlink(copy.c_str()), 0);
    EXPECT_NO_THROW(converter.convert_document());
    EXPECT_EQ(read_file(converter.dest), five_pages({2}));

    converter.hand_over_document(pdf_conversion_document(fixture("latin1.pdf"), std::nullopt, {}));
    converter.src = fixture("five_pages.pdf");
    converter.pages_done = 0;
    EXPECT_NO_THROW(converter.convert_document());
    EXPECT_EQ(read_file(converter.dest), five_pages({2}));
}

// A destination that can't be made is an error of the run with the system's reason, not
// an internal one; it leaves what it found as it was.
TEST_F(run_test, a_destination_that_cannot_be_created_is_an_error_with_the_system_text)
{
    prepare("five_pages.pdf", "", "");
    const std::string link = home.file("dangling.txt");
    ASSERT_EQ(symlink(home.file("missing-folder/out.txt").c_str(), link.c_str()), 0);
    ASSERT_EQ(mkdir(home.file("folder.txt").c_str(), 0755), 0);
    const struct {
        std::string dest;
        int code;
    } cases[] = {
        {home.file("missing-folder/out.txt"), ENOENT},
        {link, ENOENT},
        {home.file("folder.txt"), EISDIR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dest);
        converter.dest = c.dest;
        try {
            converter.convert_document();
            ADD_FAILURE() << "no exception";
        } catch (const tk_exception& e) {
            EXPECT_EQ(e.level, 1);
            EXPECT_EQ(e.code, c.code);
            EXPECT_STREQ(e.what(), std::strerror(c.code));
        }
        EXPECT_EQ(converter.pages_done, 0u);
    }

    // A read-only destination and a folder without write access, for a user that root's
    // privileges don't cover.
    const std::string locked = home.file("locked");
    ASSERT_EQ(mkdir(locked.c_str(), 0755), 0);
    converter.dest = home.file("read-only.txt");
    test_support::write_file(converter.dest, "kept");
    test_support::open_to_everyone(home.path());
    test_support::set_mode(converter.dest, 0444);
    test_support::set_mode(locked, 0555);
    for (const std::string& dest : {converter.dest, locked + "/out.txt"}) {
        SCOPED_TRACE(dest);
        converter.dest = dest;
        const int result = test_support::run_unprivileged([&] {
            try {
                converter.convert_document();
            } catch (const tk_exception& e) {
                return e.level == 1 && e.code == EACCES && std::string(e.what()) == std::strerror(EACCES) ? 0 : 1;
            }
            return 2;
        });
        EXPECT_EQ(result, 0);
    }
    EXPECT_EQ(read_file(home.file("read-only.txt")), "kept");
    EXPECT_FALSE(std::filesystem::exists(locked + "/out.txt"));
}

// Emptying the destination would destroy the source document when both are one file.
TEST_F(run_test, refuses_a_destination_that_is_the_source_document)
{
    const std::string original = read_file(fixture("five_pages.pdf"));
    const std::string src = home.file("doc.pdf");
    test_support::write_file(src, original);
    ASSERT_EQ(link(src.c_str(), home.file("linked.pdf").c_str()), 0);
    for (const std::string& dest : {src, home.file("./doc.pdf"), home.file("linked.pdf")}) {
        SCOPED_TRACE(dest);
        converter.src = src;
        converter.dest = dest;
        expect_failure(msg::dest_is_source);
        EXPECT_EQ(read_file(src), original);
    }
}

TEST_F(run_test, a_destination_that_runs_out_of_space_is_an_error)
{
    prepare("five_pages.pdf", "", "");
    converter.dest = "/dev/full";
    try {
        converter.convert_document();
        FAIL() << "no exception";
    } catch (const tk_exception& e) {
        EXPECT_EQ(e.level, 1);
        EXPECT_EQ(e.code, ENOSPC);
    }
}

// The console program's reports of a failed run: the process ends with -1 inside the run,
// before the converter could store the settings.
TEST_F(run_test, console_reports_of_a_failed_run)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct report_case {
        const char* src;
        const char* password;
        bool missing_folder;
        const char* report;
    };
    const report_case cases[] = {
        {"five_pages_aes_128.pdf", "wrong", false, "^Error:\nIncorrect password\n$"},
        {"not_a_pdf.pdf", "", false,
         "^Error:\nThe program cannot read PDF document. It might be corrupted or does not comply with Adobe "
         "PDF format.\n$"},
        {"five_pages.pdf", "", true, "^Error:\nNo such file or directory\n$"},
    };
    for (const report_case& c : cases) {
        SCOPED_TRACE(c.src);
        prepare(c.src, c.password, "");
        if (c.missing_folder)
            converter.dest = home.file("missing-folder/out.txt");
        EXPECT_EXIT(
            {
                engine_test::stdout_to_stderr();
                converter();
            },
            testing::ExitedWithCode(255), c.report);
    }
}

TEST_F(run_test, a_run_that_ends_the_process_stores_no_settings)
{
    // The child is forked from this process as it is, so that it stores, if at all, into
    // this test's settings; a child started afresh would make a settings home of its own.
    GTEST_FLAG_SET(death_test_style, "fast");
    converter.src = "stored before";
    ASSERT_TRUE(converter.serialize(true));
    EXPECT_EXIT(
        {
            prepare("five_pages_aes_128.pdf", "wrong", "");
            converter();
        },
        testing::ExitedWithCode(255), "");
    converter.src = "";
    converter.serialize(false);
    EXPECT_EQ(converter.src, "stored before");
}


struct conversion_thread : tk_thread {
    conversion_thread() : tk_thread(false) {}
    tk_thread_functor* create_functor() override { return quillet_convertor::instance(); }
};

// The wizard's road: the run on a worker while the owner's thread polls the progress as
// its timer does. The progress only grows, and once it reads 100 the counters and the
// destination are final.
TEST_F(run_test, a_run_on_a_worker_thread_is_polled_to_its_end)
{
    prepare("five_pages.pdf", "", "1-5,2");
    testing::internal::CaptureStdout();
    {
        conversion_thread thread;
        thread.start();
        double last = 0.0;
        EXPECT_TRUE(test_support::wait_until([&] {
            const double now = converter.get_progress();
            EXPECT_GE(now, last);
            EXPECT_LE(converter.pages_done, converter.pages_total);
            last = now;
            return now >= 100.0;
        }));
        // 100 means the run has ended: the wizard's finish page comes after its last report.
        EXPECT_TRUE(converter.finished);
        EXPECT_EQ(converter.pages_total, 6u);
        EXPECT_EQ(converter.pages_done, 6u);
        EXPECT_EQ(read_file(converter.dest), five_pages({1, 2, 3, 4, 5, 2}));
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// Closing the wizard during a run asks its worker to stop: the run ends between pages,
// finished and without a report, the pages done so far written.
TEST_F(run_test, a_stop_request_on_a_worker_thread_ends_the_run_early_and_quietly)
{
    prepare("five_pages.pdf", "", "");
    test_support::run_gate gate;
    gate.allow(2);
    converter.before_page_for_tests = gate.hook();

    testing::internal::CaptureStdout();
    conversion_thread thread;
    thread.start();
    gate.wait_until_held_at(2);
    thread.terminate();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(converter.finished);
    EXPECT_EQ(converter.pages_total, 5u);
    EXPECT_EQ(converter.pages_done, 2u);
    EXPECT_EQ(read_file(converter.dest), five_pages({1, 2}));
}

// Another run into the same file while this one is held after its first page: each run
// writes through its one open of the file, from its start, so the file ends with one copy
// of the text, not the two of runs that append.
TEST_F(run_test, another_run_into_the_same_file_meanwhile_leaves_one_copy)
{
    prepare("five_pages.pdf", "", "");
    test_support::run_gate gate;
    gate.allow(1);
    converter.before_page_for_tests = gate.hook();
    testing::internal::CaptureStdout();
    {
        conversion_thread thread;
        thread.start();
        gate.wait_until_held_at(1);
        // What the other run does: create or empty the file, write the whole text.
        test_support::write_file(converter.dest, five_pages({1, 2, 3, 4, 5}));
        gate.allow_all();
        EXPECT_TRUE(test_support::wait_until([&] { return converter.finished.load(); }));
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(read_file(converter.dest), five_pages({1, 2, 3, 4, 5}));
}

} // namespace
