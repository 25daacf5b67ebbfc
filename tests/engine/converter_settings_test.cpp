#include "engine_test_support.h"
#include "message_table.h"
#include "quillet_convertor.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// Every byte the settings store has written below the private home.
std::string stored_bytes(const engine_test::scoped_home& home)
{
    std::string bytes;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home.path()))
        if (entry.is_regular_file())
            bytes += test_support::read_file(entry.path().string());
    return bytes;
}

TEST(converter_settings, first_start_keeps_the_defaults_and_the_end_stores_them)
{
    engine_test::scoped_home home;
    {
        quillet_convertor converter;
        EXPECT_TRUE(converter.src.empty());
        EXPECT_TRUE(converter.dest.empty());
        EXPECT_TRUE(converter.pages.empty());
        EXPECT_TRUE(converter.password.empty());
        EXPECT_TRUE(converter.open_on_exit);
        EXPECT_TRUE(converter.page_list.empty());
        EXPECT_EQ(converter.pages_done, 0u);
        EXPECT_EQ(converter.pages_total, 0u);
        EXPECT_FALSE(converter.finished);
        EXPECT_FALSE(converter.serialize(false)); // nothing stored yet
        EXPECT_EQ(quillet_convertor::instance(), &converter);
        EXPECT_THROW(quillet_convertor second, tk_mail_assertion);

        converter.src = "/docs/report.pdf";
        converter.dest = "/docs/report.txt";
        converter.set_page_range(" 1, 3-4 ");
        converter.password = "pl@in text";
        converter.open_on_exit = false;
    }
    EXPECT_NE(stored_bytes(home).find("pl@in text"), std::string::npos);
    quillet_convertor converter;
    EXPECT_EQ(converter.src, "/docs/report.pdf");
    EXPECT_EQ(converter.dest, "/docs/report.txt");
    EXPECT_EQ(converter.pages, " 1, 3-4 ");
    EXPECT_TRUE(converter.page_list.empty()); // the text is loaded, not parsed
    EXPECT_EQ(converter.password, "pl@in text");
    EXPECT_FALSE(converter.open_on_exit);
    EXPECT_TRUE(converter.serialize(false));
}

// The values are stored when the key is closed: a store that fails there is reported.
TEST(converter_settings, a_store_that_fails_at_the_close_is_reported)
{
    engine_test::scoped_home home;
    quillet_convertor converter;
    converter.src = "/docs/report.pdf";
    EXPECT_TRUE(converter.serialize(true));
    // A folder in the settings file's place holds no values and cannot be replaced.
    const std::filesystem::path file = home.config() / "Corvane" / "Lumetra.reg";
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    EXPECT_FALSE(converter.serialize(true));
    EXPECT_FALSE(converter.serialize(false));
    EXPECT_EQ(converter.src, "/docs/report.pdf");
}

TEST(converter_settings, open_on_exit_loads_true_for_any_number_but_zero)
{
    engine_test::scoped_home home;
    for (unsigned long stored : {0ul, 1ul, 7ul, 0xfffffffful}) {
        SCOPED_TRACE(stored);
        {
            tk_reg_key key;
            ASSERT_EQ(key.create(plat::HKEY_CURRENT_USER, msg::settings_key_path, nullptr, 0, plat::KEY_ALL_ACCESS, nullptr,
                                 nullptr),
                      0);
            ASSERT_EQ(key.set_ulong(stored, msg::value_open_on_exit), 0);
        }
        quillet_convertor converter;
        EXPECT_EQ(converter.open_on_exit, stored != 0);
    }
}

TEST(converter_settings, progress_moves_in_whole_percent)
{
    engine_test::scoped_home home;
    quillet_convertor converter;
    struct progress_case {
        std::uint32_t done;
        std::uint32_t total;
        bool finished;
        double expected;
    };
    const progress_case cases[] = {
        {0, 0, false, 0.0},   {1, 3, false, 33.0},  {2, 3, false, 66.0},
        // The last page done, the run not yet ended (the destination still to be closed).
        {3, 3, false, 99.0},  {3, 3, true, 100.0},
        {0, 0, true, 100.0},  {2, 10, true, 100.0}, {999, 1000, false, 99.0},
        {50000000, 100000000, false, 50.0},
    };
    for (const progress_case& c : cases) {
        converter.pages_done = c.done;
        converter.pages_total = c.total;
        converter.finished = c.finished;
        EXPECT_EQ(converter.get_progress(), c.expected) << c.done << " of " << c.total;
    }
}

TEST(converter_settings, a_bad_page_range_keeps_the_text_and_the_items_before_it)
{
    engine_test::scoped_home home;
    quillet_convertor converter;
    converter.set_page_range("1-2");
    EXPECT_THROW(converter.set_page_range("4,x"), tk_exception);
    EXPECT_EQ(converter.pages, "4,x");
    EXPECT_EQ(converter.page_list, (std::vector<std::uint32_t> {4}));
    converter.set_page_range("");
    EXPECT_TRUE(converter.page_list.empty());
}

struct profile_case {
    const char* password;
    const char* pages;
    const char* expected;
};

TEST(converter_profile, exports_the_settings_in_plain_text)
{
    engine_test::scoped_home home;
    quillet_convertor converter;
    converter.src = "C:/in.pdf";
    converter.dest = "out.txt";
    const profile_case cases[] = {
        {"", "", "[Generic settings]\r\ndest=out.txt\r\nlogfile=\r\nsrc=C:/in.pdf\r\n\r\n"},
        {"s3cret=x", " 1 ,2 ",
         "[Generic settings]\r\ndest=out.txt\r\nlogfile=\r\npages= 1 ,2 \r\npassword=s3cret=x\r\nsrc=C:/in.pdf\r\n\r\n"},
    };
    for (const profile_case& c : cases) {
        SCOPED_TRACE(c.expected);
        converter.password = c.password;
        converter.pages = c.pages;
        const std::string path = home.file("profile.ini");
        EXPECT_TRUE(converter.store_profile(path));
        EXPECT_EQ(test_support::read_file(path), c.expected);
    }
    EXPECT_FALSE(converter.store_profile(home.file("missing/profile.ini")));
    EXPECT_FALSE(std::filesystem::exists(home.file("missing")));
}

} // namespace
