#include "tk_log.h"

#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace {

using test_support::read_file;
using test_support::temp_dir;
using test_support::write_file;

TEST(tk_log, without_settings_touches_no_file)
{
    temp_dir dir;
    const auto before = std::distance(std::filesystem::directory_iterator(dir.path()), {});
    tk_log(3, "Conversion started on %02d", 1);
    tk_log_w(3, L"wide %s", L"text");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), before);
}

TEST(tk_log, first_call_empties_the_file_even_below_threshold)
{
    temp_dir dir;
    const std::string file = dir.file("log.txt");
    write_file(file, "old content");
    tk_log_settings settings(file, 2, false, true, false);
    tk_log(1, "dropped");
    EXPECT_TRUE(settings.reset_done);
    EXPECT_EQ(read_file(file), "");
    tk_log(2, "kept %d", 5);
    EXPECT_EQ(read_file(file), "kept 5");
}

TEST(tk_log, records_without_line_ends_run_together)
{
    temp_dir dir;
    tk_log_settings settings(dir.file("log.txt"), 0, false, true, false);
    tk_log(2, "serialize( %d )", 1);
    tk_log(2, "%s", "tk_converter::ctor");
    EXPECT_EQ(read_file(settings.file_name), "serialize( 1 )tk_converter::ctor");
}

TEST(tk_log, line_end_follows_the_texts_own_line_feed)
{
    temp_dir dir;
    tk_log_settings settings(dir.file("log.txt"), 0, true, true, false);
    tk_log(3, "Error:\n%s\n", "x");
    EXPECT_EQ(read_file(settings.file_name), "Error:\nx\n\r\n");
}

TEST(tk_log, time_stamp_leads_each_record)
{
    temp_dir dir;
    tk_log_settings settings(dir.file("log.txt"), 0, true, true, true);
    tk_log(2, "one");
    tk_log(2, "two");
    EXPECT_TRUE(std::regex_match(read_file(settings.file_name),
                                 std::regex("[0-2][0-9]:[0-5][0-9]:[0-5][0-9] one\r\n"
                                            "[0-2][0-9]:[0-5][0-9]:[0-5][0-9] two\r\n")));
}

TEST(tk_log, disabled_settings_write_nothing_and_reset_nothing)
{
    temp_dir dir;
    const std::string file = dir.file("log.txt");
    write_file(file, "keep");
    tk_log_settings settings(file, 0, true, false, false);
    tk_log(3, "x");
    EXPECT_FALSE(settings.reset_done);
    EXPECT_EQ(read_file(file), "keep");
}

TEST(tk_log, unopenable_file_is_skipped_silently)
{
    temp_dir dir;
    tk_log_settings settings(dir.file("missing/log.txt"), 0, true, true, false);
    tk_log(3, "x");
    EXPECT_TRUE(settings.reset_done);
    EXPECT_FALSE(std::filesystem::exists(settings.file_name));
}

TEST(tk_log_w, wide_text_is_written_as_utf8_without_terminator)
{
    temp_dir dir;
    tk_log_settings settings(dir.file("log.txt"), 0, false, true, false);
    tk_log_w(2, L"caf\u00e9 %s %c %d%%", L"\u00fcber", L'\u00df', 3);
    EXPECT_EQ(read_file(settings.file_name), "caf\xc3\xa9 \xc3\xbc" "ber \xc3\x9f 3%");
}

TEST(tk_log_w, text_longer_than_the_buffer_is_cut)
{
    temp_dir dir;
    tk_log_settings settings(dir.file("log.txt"), 0, false, true, false);
    const std::wstring long_text(20000, L'a');
    tk_log_w(2, L"%s", long_text.c_str());
    EXPECT_EQ(read_file(settings.file_name), std::string(10239, 'a'));
}

TEST(tk_log_w, utf8_form_that_does_not_fit_gives_an_empty_record)
{
    temp_dir dir;
    tk_log_settings settings(dir.file("log.txt"), 0, true, true, false);
    const std::wstring long_text(6000, L'\u00e9');  // 12,000 bytes in UTF-8
    tk_log_w(2, L"%s", long_text.c_str());
    EXPECT_EQ(read_file(settings.file_name), "\r\n");
}

} // namespace
