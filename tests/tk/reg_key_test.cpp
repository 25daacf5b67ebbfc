// The registry key wrapper and the settings serializer over the per-user store.
#include "internal_error_cases.h"
#include "test_support.h"
#include "tk_exception.h"
#include "tk_log.h"
#include "tk_reg_key.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/inotify.h>
#include <utility>
#include <unistd.h>

using namespace plat;

namespace {

constexpr const char* settings_key = "Software\\Corvane\\Lumetra";

LONG open_settings(tk_reg_key& key)
{
    return key.create(HKEY_CURRENT_USER, settings_key, nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr);
}

// Writes or reads a raw value beside the classes under test.
void put_raw(const char* name, DWORD type, const std::string& bytes)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, settings_key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const unsigned char*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              0);
    RegCloseKey(key);
}

bool get_raw(const char* name, DWORD& type, std::string& bytes)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, settings_key, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr) != 0)
        return false;
    unsigned char buffer[256];
    DWORD size = sizeof buffer;
    const LONG result = RegQueryValueExA(key, name, nullptr, &type, buffer, &size);
    RegCloseKey(key);
    bytes.assign(reinterpret_cast<char*>(buffer), size);
    return result == 0;
}

// A serializer with its key open on the settings key, as the converter uses it.
struct open_serializer : tk_serializer {
    open_serializer() : tk_serializer(settings_key)
    {
        EXPECT_EQ(key.create(HKEY_CURRENT_USER, key_path.c_str(), nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr), 0);
    }
};

TEST(tk_serializer, first_start_creates_the_key_and_every_load_fails)
{
    test_support::settings_home home;
    tk_reg_key key;
    DWORD disposition = 0;
    ASSERT_EQ(key.create(HKEY_CURRENT_USER, settings_key, nullptr, 0, KEY_ALL_ACCESS, nullptr, &disposition), 0);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_TRUE(std::filesystem::exists(home.config() / "Corvane" / "Lumetra.reg"));
    key.close();

    open_serializer settings;
    bool flag = true;
    std::string text = "default";
    EXPECT_FALSE(settings.serialize_bool("open on exit", flag, false));
    EXPECT_FALSE(settings.serialize_string("src", text, false));
    EXPECT_TRUE(flag);
    EXPECT_EQ(text, "default");
}

TEST(tk_serializer, stores_flags_and_texts_in_the_registry_formats)
{
    test_support::settings_home home;
    open_serializer settings;
    bool on = true, off = false;
    std::string text = "C:\\doc.pdf";
    std::string empty;
    ASSERT_TRUE(settings.serialize_bool("on", on, true));
    ASSERT_TRUE(settings.serialize_bool("off", off, true));
    ASSERT_TRUE(settings.serialize_string("src", text, true));
    ASSERT_TRUE(settings.serialize_string("pages", empty, true));
    ASSERT_EQ(settings.key.close(), 0);

    struct expected_value {
        const char* name;
        DWORD type;
        std::string bytes;
    };
    const expected_value expected[] = {
        {"on", REG_DWORD, std::string("\x01\0\0\0", 4)},
        {"off", REG_DWORD, std::string("\0\0\0\0", 4)},
        {"src", REG_SZ, std::string("C:\\doc.pdf\0", 11)},
        {"pages", REG_SZ, std::string("\0", 1)},
    };
    for (const expected_value& e : expected) {
        DWORD type = 0;
        std::string bytes;
        ASSERT_TRUE(get_raw(e.name, type, bytes)) << e.name;
        EXPECT_EQ(type, e.type) << e.name;
        EXPECT_EQ(bytes, e.bytes) << e.name;
    }
}

// The number of times a new settings file was renamed into the folder that `watch`
// watches since it was last asked: one per store.
int stores_seen(int watch)
{
    int stores = 0;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t length = read(watch, buffer, sizeof buffer);
        if (length <= 0)
            return stores;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if ((event->mask & IN_MOVED_TO) != 0 && std::string(event->name) == "Lumetra.reg")
                ++stores;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

// A pass of the converter's five writes costs one store, at the close, and holds all five;
// the same pass again changes nothing and costs none.
TEST(tk_serializer, a_pass_of_writes_is_one_store_at_the_close)
{
    test_support::settings_home home;
    put_raw("other program's", REG_SZ, std::string("kept\0", 5));
    const std::filesystem::path file = home.config() / "Corvane" / "Lumetra.reg";
    const std::string before = test_support::read_file(file.string());
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, file.parent_path().c_str(), IN_MOVED_TO), 0);

    bool open_on_exit = false;
    std::pair<const char*, std::string> texts[] = {
        {"src", "doc.pdf"}, {"dest", "doc.txt"}, {"pages", "1-3"}, {"password", "secret"}};
    for (int stores_expected : {1, 0}) {
        open_serializer settings;
        ASSERT_TRUE(settings.serialize_bool("open on exit", open_on_exit, true));
        for (auto& [name, text] : texts)
            ASSERT_TRUE(settings.serialize_string(name, text, true));
        EXPECT_EQ(stores_seen(watch), 0);
        if (stores_expected == 1) {
            EXPECT_EQ(test_support::read_file(file.string()), before);
        }
        ASSERT_EQ(settings.key.close(), 0);
        EXPECT_EQ(stores_seen(watch), stores_expected);
    }
    close(watch);

    DWORD type = 0;
    std::string bytes;
    EXPECT_TRUE(get_raw("open on exit", type, bytes));
    EXPECT_EQ(bytes, std::string(4, '\0'));
    for (const auto& [name, text] : texts) {
        EXPECT_TRUE(get_raw(name, type, bytes)) << name;
        EXPECT_EQ(bytes, text + '\0');
    }
    EXPECT_TRUE(get_raw("other program's", type, bytes));
}

// Types are not checked: a flag reads up to 4 bytes as a little-endian number, a text
// reads any bytes up to the first zero.
TEST(tk_serializer, loads_whatever_type_the_value_has)
{
    test_support::settings_home home;
    struct case_ {
        DWORD type;
        std::string bytes;
        bool loads_flag;
        bool flag;
        bool loads_text;
        std::string text;
    };
    const case_ cases[] = {
        {REG_DWORD, std::string("\x01\0\0\0", 4), true, true, true, "\x01"},
        {REG_DWORD, std::string("\0\0\0\0", 4), true, false, true, ""},
        {REG_DWORD, std::string("\0\0\x01\0", 4), true, true, true, ""},
        {REG_DWORD, std::string("AB\0\0", 4), true, true, true, "AB"},
        {REG_BINARY, std::string("\0\x01", 2), true, true, true, ""},
        {REG_BINARY, std::string("\0", 1), true, false, true, ""},
        {REG_SZ, std::string("\0", 1), true, false, true, ""},
        {REG_SZ, std::string("yes\0", 4), true, true, true, "yes"},
        {REG_SZ, std::string("text\0", 5), false, false, true, "text"},
        {REG_SZ, std::string("ab\0cd\0", 6), false, false, true, "ab"},
        {REG_SZ, "no zero", false, false, true, "no zero"},
        {REG_SZ, "", true, false, false, ""},
    };
    for (const case_& c : cases) {
        put_raw("value", c.type, c.bytes);
        open_serializer settings;
        bool flag = !c.flag;
        const bool flag_before = flag;
        std::string text = "unchanged";
        EXPECT_EQ(settings.serialize_bool("value", flag, false), c.loads_flag) << c.bytes;
        EXPECT_EQ(flag, c.loads_flag ? c.flag : flag_before) << c.bytes;
        EXPECT_EQ(settings.serialize_string("value", text, false), c.loads_text) << c.bytes;
        EXPECT_EQ(text, c.loads_text ? c.text : "unchanged") << c.bytes;
    }
}

TEST(tk_serializer, a_closed_key_transfers_nothing)
{
    test_support::settings_home home;
    put_raw("src", REG_SZ, std::string("stored\0", 7));
    tk_serializer settings(settings_key);
    EXPECT_EQ(settings.key_path, settings_key);
    bool flag = true;
    std::string text = "mine";
    for (bool store : {false, true}) {
        EXPECT_FALSE(settings.serialize_bool("open on exit", flag, store));
        EXPECT_FALSE(settings.serialize_string("src", text, store));
    }
    EXPECT_TRUE(flag);
    EXPECT_EQ(text, "mine");
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(get_raw("src", type, bytes));
    EXPECT_EQ(bytes, std::string("stored\0", 7));
    EXPECT_FALSE(get_raw("open on exit", type, bytes));
}

TEST(tk_reg_key, create_replaces_an_open_key_only_on_success)
{
    test_support::settings_home home;
    put_raw("src", REG_SZ, std::string("first\0", 6));
    tk_reg_key key;
    EXPECT_EQ(key.close(), 0);
    ASSERT_EQ(open_settings(key), 0);

    // A failed create keeps the old key open and usable.
    EXPECT_EQ(key.create(HKEY_CURRENT_USER, "bad\\\\path", nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr),
              ERROR_INVALID_PARAMETER);
    char buffer[16];
    DWORD size = sizeof buffer;
    EXPECT_EQ(key.get_value(buffer, "src", &size), 0);
    EXPECT_STREQ(buffer, "first");

    // A successful one opens the new key in its place.
    DWORD disposition = 0;
    EXPECT_EQ(key.create(HKEY_CURRENT_USER, "Software\\Corvane\\Other", nullptr, 0, KEY_ALL_ACCESS, nullptr,
                         &disposition),
              0);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    size = sizeof buffer;
    EXPECT_EQ(key.get_value(buffer, "src", &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.close(), 0);
    EXPECT_FALSE(key.is_open());
    EXPECT_EQ(key.get_value(buffer, "src", &size), ERROR_INVALID_HANDLE);
}

// A store that fails loses the pass's values: it is logged with the system's reason
// however the key is closed, and a create that closes the key still reports its own open.
TEST(tk_reg_key, a_failed_store_is_logged_however_the_key_is_closed)
{
    struct closing_case {
        const char* name;
        std::function<void(std::optional<tk_reg_key>& key)> close;
    };
    const closing_case cases[] = {
        {"close", [](std::optional<tk_reg_key>& key) { EXPECT_EQ(key->close(), EISDIR); }},
        {"destructor", [](std::optional<tk_reg_key>& key) { key.reset(); }},
        {"create replacing it",
         [](std::optional<tk_reg_key>& key) {
             EXPECT_EQ(key->create(HKEY_CURRENT_USER, "Software\\Corvane\\Other", nullptr, 0, KEY_ALL_ACCESS,
                                   nullptr, nullptr),
                       0);
             EXPECT_TRUE(key->is_open());
             EXPECT_EQ(key->set_string("kept", "src"), 0);
             EXPECT_EQ(key->close(), 0);
         }},
    };
    for (const closing_case& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::settings_home home;
        const tk_log_settings log(home.file("log.txt"), 3);
        std::optional<tk_reg_key> key(std::in_place);
        ASSERT_EQ(open_settings(*key), 0);
        ASSERT_EQ(key->set_string("lost", "src"), 0);
        // A folder where the file was: the store cannot put the new file in its place.
        const std::filesystem::path file = home.config() / "Corvane" / "Lumetra.reg";
        std::filesystem::remove(file);
        std::filesystem::create_directory(file);
        c.close(key);
        EXPECT_EQ(test_support::read_file(log.file_name),
                  "tk_reg_key::close: the values were not stored (21: Is a directory)\r\n");
    }
}

TEST(tk_reg_key, get_value_reports_sizes_and_short_buffers)
{
    test_support::settings_home home;
    put_raw("src", REG_SZ, std::string("abcdef\0", 7));
    put_raw("wide", REG_BINARY, "12345");
    put_raw("short", REG_BINARY, "\x01");
    tk_reg_key key;
    ASSERT_EQ(open_settings(key), 0);
    DWORD size = 0;
    EXPECT_EQ(key.get_value(nullptr, "src", &size), 0);
    EXPECT_EQ(size, 7u);
    char small[3];
    size = sizeof small;
    EXPECT_EQ(key.get_value(small, "src", &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 7u);

    DWORD number = 0x11223344;
    EXPECT_EQ(key.get_value(&number, "wide"), ERROR_MORE_DATA);
    EXPECT_EQ(number, 0x11223344u);
    EXPECT_EQ(key.get_value(&number, "missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(number, 0x11223344u);
    // Bytes that a short value lacks keep what the number held.
    EXPECT_EQ(key.get_value(&number, "short"), 0);
    EXPECT_EQ(number, 0x11223301u);
}

TEST(tk_reg_key, broken_preconditions_are_internal_errors)
{
    test_support::settings_home home;
    tk_reg_key closed;
    tk_reg_key open;
    ASSERT_EQ(open_settings(open), 0);
    DWORD number = 0;
    DWORD size = 0;
    char buffer[4];
    expect_internal_errors("tk_regk", {
        {64, [&] { open.create(nullptr, settings_key, nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr); }},
        {98, [&] { open.get_value(&number, nullptr); }},
        {115, [&] { open.get_value(buffer, nullptr, nullptr); }},
        {116, [&] { open.get_value(buffer, nullptr, &size); }},
        {149, [&] { closed.set_ulong(1, "flag"); }},
        {156, [&] { closed.set_string(nullptr, "src"); }},
        {157, [&] { closed.set_string("text", "src"); }},
    });
    EXPECT_TRUE(open.is_open());
}

} // namespace
