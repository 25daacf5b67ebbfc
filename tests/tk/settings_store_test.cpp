// The per-user settings store behind the registry calls: where the files live, what
// they hold, and that neither crashes, full disks, concurrent writers nor damaged files
// lose or corrupt settings.
#include "plat_registry.h"
#include "plat_settings_file.h"
#include "planted_links.h"
#include "test_support.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <set>
#include <vector>

using namespace plat;
namespace fs = std::filesystem;

namespace {

constexpr const char* settings_key = "Software\\Corvane\\Lumetra";

HKEY open_key(const char* path = settings_key, REGSAM access = KEY_ALL_ACCESS, DWORD* disposition = nullptr)
{
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, access, nullptr, &key, disposition);
    EXPECT_EQ(result, ERROR_SUCCESS) << path;
    return key;
}

LONG set_bytes(HKEY key, const char* name, DWORD type, const std::string& bytes)
{
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const unsigned char*>(bytes.data()),
                          static_cast<DWORD>(bytes.size()));
}

// Reads a value whole; the result is the query's.
LONG get_bytes(HKEY key, const char* name, DWORD& type, std::string& bytes)
{
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (result != ERROR_SUCCESS)
        return result;
    bytes.assign(size, '\0');
    result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<unsigned char*>(bytes.data()), &size);
    bytes.resize(size);
    return result;
}

std::string settings_file(const test_support::settings_home& home)
{
    return (home.config() / "Corvane" / "Lumetra.reg").string();
}

// Stores one value and gives the file's bytes, to compare after a store that must fail.
std::string store_old_settings(const test_support::settings_home& home)
{
    HKEY key = open_key();
    EXPECT_EQ(set_bytes(key, "src", REG_SZ, std::string("old\0", 4)), ERROR_SUCCESS);
    RegCloseKey(key);
    return test_support::read_file(settings_file(home));
}

// Ends the test program if the test is still running after a minute: a read or a lock
// that blocks for good fails the test instead of hanging it.
class hang_guard {
public:
    hang_guard() { alarm(60); }
    ~hang_guard() { alarm(0); }
    hang_guard(const hang_guard&) = delete;
    hang_guard& operator=(const hang_guard&) = delete;
};

struct stored_value {
    const char* name;
    DWORD type;
    std::string data;
};

// Values whose names and data hold the bytes a line-based text file could trip on.
const stored_value awkward_values[] = {
    {"src", REG_SZ, std::string("/home/u/My \"docs\"\\a=b.pdf\0", 26)},
    {"empty text", REG_SZ, std::string("\0", 1)},
    {"no terminator", REG_SZ, "abc"},
    {"inner zero", REG_SZ, std::string("a\0b\0", 4)},
    {"zero bytes", REG_SZ, ""},
    {"a=b", REG_SZ, std::string("x=y\0", 4)},
    {"line\nfeed", REG_SZ, std::string("one\ntwo\r\nthree\0", 15)},
    {"\"quoted\" \\name\t", REG_BINARY, std::string("\0\n\r\xff=\"", 6)},
    {"", REG_SZ, std::string("default value\0", 14)},
    {"open on exit", REG_DWORD, std::string("\x01\0\0\0", 4)},
    {"short number", REG_DWORD, std::string("\x02\0", 2)},
    {"long number", REG_DWORD, std::string("\x01\x02\x03\x04\x05", 5)},
    {"latin \xe9t\xe9", REG_SZ, std::string("caf\xe9 \xc3\xa9\x7f\0", 9)},
    {"odd type", 0x12345678, "xyz"},
    {"no type", REG_NONE, ""},
    {"multi", REG_MULTI_SZ, std::string("a\0bc\0\0", 6)},
    {"; not a comment", REG_SZ, std::string("[not a section]\0", 16)},
};

TEST(settings_store, every_type_and_byte_survives_a_store_and_a_load)
{
    test_support::settings_home home;
    HKEY writer = open_key();
    for (const stored_value& value : awkward_values)
        ASSERT_EQ(set_bytes(writer, value.name, value.type, value.data), ERROR_SUCCESS) << value.name;
    ASSERT_EQ(RegCloseKey(writer), ERROR_SUCCESS);

    HKEY reader = open_key(settings_key, KEY_READ);
    for (const stored_value& value : awkward_values) {
        DWORD type = 0xdead;
        std::string data;
        ASSERT_EQ(get_bytes(reader, value.name, type, data), ERROR_SUCCESS) << value.name;
        EXPECT_EQ(type, value.type) << value.name;
        EXPECT_EQ(data, value.data) << value.name;
    }
    RegCloseKey(reader);
}

TEST(settings_store, storing_a_value_replaces_it_and_keeps_the_others)
{
    test_support::settings_home home;
    HKEY key = open_key();
    ASSERT_EQ(set_bytes(key, "src", REG_SZ, std::string("old\0", 4)), ERROR_SUCCESS);
    ASSERT_EQ(set_bytes(key, "dest", REG_SZ, std::string("d\0", 2)), ERROR_SUCCESS);
    ASSERT_EQ(set_bytes(key, "src", REG_DWORD, std::string("\x07\0\0\0", 4)), ERROR_SUCCESS);
    DWORD type = 0;
    std::string data;
    ASSERT_EQ(get_bytes(key, "src", type, data), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(data, std::string("\x07\0\0\0", 4));
    ASSERT_EQ(get_bytes(key, "dest", type, data), ERROR_SUCCESS);
    EXPECT_EQ(data, std::string("d\0", 2));
    RegCloseKey(key);
}

// A pass reads the file as it was when the key was opened, with its own writes; its store
// keeps what another program stored meanwhile, unless the pass wrote it too.
TEST(settings_store, a_pass_reads_the_file_as_opened_and_stores_over_what_others_stored_since)
{
    test_support::settings_home home;
    HKEY first = open_key();
    set_bytes(first, "src", REG_SZ, std::string("old\0", 4));
    set_bytes(first, "dest", REG_SZ, std::string("old\0", 4));
    ASSERT_EQ(RegCloseKey(first), ERROR_SUCCESS);

    HKEY pass = open_key();
    HKEY other = open_key();
    set_bytes(other, "dest", REG_SZ, std::string("theirs\0", 7));
    set_bytes(other, "pages", REG_SZ, std::string("theirs\0", 7));
    set_bytes(other, "src", REG_SZ, std::string("theirs\0", 7));
    ASSERT_EQ(RegCloseKey(other), ERROR_SUCCESS);
    set_bytes(pass, "src", REG_SZ, std::string("mine\0", 5));

    struct expected_value {
        const char* name;
        LONG result;
        std::string data;
    };
    const expected_value during_the_pass[] = {
        {"src", ERROR_SUCCESS, std::string("mine\0", 5)},
        {"dest", ERROR_SUCCESS, std::string("old\0", 4)},
        {"pages", ERROR_FILE_NOT_FOUND, ""},
    };
    const expected_value after_the_pass[] = {
        {"src", ERROR_SUCCESS, std::string("mine\0", 5)},
        {"dest", ERROR_SUCCESS, std::string("theirs\0", 7)},
        {"pages", ERROR_SUCCESS, std::string("theirs\0", 7)},
    };
    const auto check = [](HKEY key, const auto& expected) {
        for (const expected_value& e : expected) {
            DWORD type = 0;
            std::string data;
            EXPECT_EQ(get_bytes(key, e.name, type, data), e.result) << e.name;
            if (e.result == ERROR_SUCCESS) {
                EXPECT_EQ(data, e.data) << e.name;
            }
        }
    };
    check(pass, during_the_pass);
    ASSERT_EQ(RegCloseKey(pass), ERROR_SUCCESS);
    HKEY after = open_key(settings_key, KEY_READ);
    check(after, after_the_pass);
    RegCloseKey(after);
}

TEST(settings_store, the_file_is_readable_text_one_value_a_line)
{
    test_support::settings_home home;
    HKEY key = open_key();
    set_bytes(key, "src", REG_SZ, std::string("C:\\a \"b\"\0", 9));
    set_bytes(key, "open on exit", REG_DWORD, std::string("\x2a\0\0\0", 4));
    set_bytes(key, "raw", REG_BINARY, std::string("\x00\xff\n", 3));
    set_bytes(key, "line", REG_SZ, std::string("a\nb\x01\0", 5));
    RegCloseKey(key);
    EXPECT_EQ(test_support::read_file(settings_file(home)),
              "; Settings of one registry key, one value a line. See README.md, \"Settings\".\n"
              "[HKEY_CURRENT_USER\\Software\\Corvane\\Lumetra]\n"
              "\"src\"=\"C:\\\\a \\\"b\\\"\"\n"
              "\"open on exit\"=dword:0000002a\n"
              "\"raw\"=hex(3):00,ff,0a\n"
              "\"line\"=\"a\\nb\\x01\"\n");
}

TEST(settings_store, the_key_lives_below_the_users_configuration_folder)
{
    test_support::settings_home home;
    DWORD disposition = 0;
    HKEY key = open_key(settings_key, KEY_ALL_ACCESS, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    const std::string file = settings_file(home);
    ASSERT_TRUE(fs::is_regular_file(file));
    RegCloseKey(key);

    key = open_key(settings_key, KEY_ALL_ACCESS, &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);

    // Without an absolute XDG_CONFIG_HOME the folder is $HOME/.config; a key below an open
    // key extends its path.
    struct case_ {
        bool xdg_set;
        std::string xdg;
        const char* sub_key;
        fs::path expected;
    };
    const std::string own_xdg = (home.path() / "xdg").string();
    const case_ cases[] = {
        {false, "", "Software\\Corvane\\Other", home.path() / ".config/Corvane/Other.reg"},
        {true, "relative/folder", "Software\\Corvane\\Third", home.path() / ".config/Corvane/Third.reg"},
        {true, own_xdg, "Software\\Corvane\\Lumetra", home.path() / "xdg/Corvane/Lumetra.reg"},
        {true, own_xdg, "Vendor", home.path() / "xdg/Vendor.reg"},
    };
    for (const case_& c : cases) {
        test_support::set_env("XDG_CONFIG_HOME", c.xdg_set ? c.xdg.c_str() : nullptr);
        HKEY opened = open_key(c.sub_key, KEY_ALL_ACCESS, &disposition);
        EXPECT_EQ(disposition, REG_CREATED_NEW_KEY) << c.sub_key;
        EXPECT_TRUE(fs::is_regular_file(c.expected)) << c.expected;
        RegCloseKey(opened);
    }

    setenv("XDG_CONFIG_HOME", home.config().c_str(), 1);
    HKEY parent = open_key("Software\\Corvane");
    HKEY child = nullptr;
    ASSERT_EQ(RegCreateKeyExA(parent, "Lumetra", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(child);
    RegCloseKey(parent);
}

// The file is found when the key is opened: the close stores the pass into the file its
// values were read from, also when the environment names another folder by then.
TEST(settings_store, the_close_stores_into_the_file_the_key_was_opened_on)
{
    test_support::settings_home home;
    HKEY key = open_key();
    ASSERT_EQ(set_bytes(key, "src", REG_SZ, std::string("mine\0", 5)), ERROR_SUCCESS);
    const fs::path elsewhere = home.path() / "elsewhere";
    const test_support::scoped_env moved("XDG_CONFIG_HOME", elsewhere.string());
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_FALSE(fs::exists(elsewhere));
    EXPECT_NE(test_support::read_file(settings_file(home)).find("\"src\"=\"mine\"\n"), std::string::npos);
}

TEST(settings_store, the_file_and_its_folders_are_private_to_the_user)
{
    test_support::settings_home home;
    HKEY key = open_key();
    set_bytes(key, "password", REG_SZ, std::string("secret\0", 7));
    RegCloseKey(key);
    const std::string file = settings_file(home);
    const auto status_of = [](const std::string& path) {
        struct stat info {};
        EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
        return info;
    };
    const auto mode_of = [&status_of](const std::string& path) { return status_of(path).st_mode & 07777; };
    EXPECT_EQ(mode_of(file), 0600u);
    EXPECT_EQ(mode_of((home.config() / "Corvane").string()), 0700u);

    // A file that others may read (made by hand, or by an older copy of the program) is
    // made private by a key opened for writing, also when its store changes nothing. A
    // key opened for reading changes nothing, and the file a link leads to keeps its mode.
    struct loose_file_case {
        const char* name;
        REGSAM access;
        bool store_the_same_value;
        bool through_a_link;
        mode_t mode_after;
    };
    const loose_file_case cases[] = {
        {"opened for reading", KEY_READ, false, false, 0644},
        {"opened for writing, nothing set", KEY_ALL_ACCESS, false, false, 0600},
        {"opened for writing, a store that changes nothing", KEY_ALL_ACCESS, true, false, 0600},
        {"a link to the file, a store that changes nothing", KEY_ALL_ACCESS, true, true, 0644},
    };
    // The very bytes a store would write, so that the store finds nothing to change.
    const std::string stored_bytes = test_support::read_file(file);
    const std::string target = file + ".target";
    for (const loose_file_case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(file);
        fs::remove(target);
        const std::string holder = c.through_a_link ? target : file;
        test_support::write_file(holder, stored_bytes);
        if (c.through_a_link)
            fs::create_symlink(target, file);
        ASSERT_EQ(chmod(holder.c_str(), 0644), 0);
        const ino_t inode = status_of(holder).st_ino;
        HKEY loose = open_key(settings_key, c.access);
        if (c.store_the_same_value) {
            EXPECT_EQ(set_bytes(loose, "password", REG_SZ, std::string("secret\0", 7)), ERROR_SUCCESS);
        }
        EXPECT_EQ(RegCloseKey(loose), ERROR_SUCCESS);
        EXPECT_EQ(mode_of(holder), c.mode_after);
        // Nothing was rewritten: the link and the file are the ones made above.
        EXPECT_EQ(fs::is_symlink(file), c.through_a_link);
        EXPECT_EQ(status_of(holder).st_ino, inode);
    }
}

TEST(settings_store, queries_follow_the_registry_rules)
{
    test_support::settings_home home;
    HKEY key = open_key();
    set_bytes(key, "src", REG_SZ, std::string("abcdef\0", 7));

    // Size only.
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "src", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 7u);

    // A buffer too small: more data, the size needed, the buffer untouched.
    unsigned char small[4] = {'z', 'z', 'z', 'z'};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "src", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(std::memcmp(small, "zzzz", 4), 0);

    // A missing value leaves type and size alone.
    type = 99;
    size = 5;
    EXPECT_EQ(RegQueryValueExA(key, "missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(type, 99u);
    EXPECT_EQ(size, 5u);
    RegCloseKey(key);
}

TEST(settings_store, handles_and_rights_are_checked)
{
    test_support::settings_home home;
    HKEY write_only = open_key(settings_key, KEY_WRITE);
    EXPECT_EQ(set_bytes(write_only, "src", REG_SZ, std::string("x\0", 2)), ERROR_SUCCESS);
    DWORD type = 0;
    std::string data;
    EXPECT_EQ(get_bytes(write_only, "src", type, data), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(write_only), ERROR_SUCCESS);
    HKEY read_only = open_key(settings_key, KEY_READ);
    EXPECT_EQ(set_bytes(read_only, "src", REG_SZ, std::string("y\0", 2)), ERROR_ACCESS_DENIED);
    EXPECT_EQ(get_bytes(read_only, "src", type, data), ERROR_SUCCESS);
    EXPECT_EQ(data, std::string("x\0", 2));

    EXPECT_EQ(RegCloseKey(read_only), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(read_only), ERROR_INVALID_HANDLE);
    EXPECT_EQ(get_bytes(read_only, "src", type, data), ERROR_INVALID_HANDLE);
    EXPECT_EQ(set_bytes(nullptr, "src", REG_SZ, "x"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(set_bytes(HKEY_CURRENT_USER, "src", REG_SZ, "x"), ERROR_ACCESS_DENIED);
}

TEST(settings_store, key_paths_that_name_no_file_are_refused)
{
    test_support::settings_home home;
    const char* bad_paths[] = {"", "\\Software", "Software\\", "Software\\\\Corvane", "Software\\..\\x",
                               "Software\\.", "a/b", "line\nfeed"};
    for (const char* path : bad_paths) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_INVALID_PARAMETER)
            << path;
        EXPECT_EQ(key, nullptr);
    }
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, nullptr, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(fs::exists(home.config()));
}

TEST(settings_store, damaged_lines_read_as_missing_values_and_survive_a_store)
{
    test_support::settings_home home;
    RegCloseKey(open_key());
    const std::string file = settings_file(home);
    const std::string damaged_lines[] = {
        "\"unterminated\"=\"abc",
        "\"bad escape\"=\"a\\qb\"",
        "\"short escape\"=\"a\\x4\"",
        "\"long dword\"=dword:123456789",
        "\"bad hex\"=hex(3):0g",
        "\"no data\"=",
        "\"trailing\"=\"x\" junk",
        "no quotes=1",
        std::string("\x00\xff\x01 binary", 10),
    };
    std::string bytes = "\"good\"=\"kept\"\r\n";
    for (const std::string& line : damaged_lines)
        bytes += line + "\n";
    bytes += "  \"spaced\" = dword:7  ";
    test_support::write_file(file, bytes);

    // Before and after a store: the damaged lines are no values, the good ones read.
    const auto check_values = [](HKEY key) {
        DWORD type = 0;
        std::string data;
        for (const char* name : {"unterminated", "bad escape", "short escape", "long dword", "bad hex", "no data",
                                 "trailing", "no quotes"})
            EXPECT_EQ(get_bytes(key, name, type, data), ERROR_FILE_NOT_FOUND) << name;
        EXPECT_EQ(get_bytes(key, "good", type, data), ERROR_SUCCESS);
        EXPECT_EQ(data, std::string("kept\0", 5));
        EXPECT_EQ(get_bytes(key, "spaced", type, data), ERROR_SUCCESS);
        EXPECT_EQ(data, std::string("\x07\0\0\0", 4));
    };
    HKEY key = open_key();
    check_values(key);

    // A store keeps the lines it could not read, for the person who wrote them.
    ASSERT_EQ(set_bytes(key, "new", REG_SZ, std::string("n\0", 2)), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    const std::string after = test_support::read_file(file);
    EXPECT_NE(after, bytes);
    for (const std::string& line : damaged_lines)
        EXPECT_NE(after.find(line + "\n"), std::string::npos) << line;
    HKEY reopened = open_key(settings_key, KEY_READ);
    check_values(reopened);
    DWORD type = 0;
    std::string data;
    EXPECT_EQ(get_bytes(reopened, "new", type, data), ERROR_SUCCESS);
    RegCloseKey(reopened);
}

// A file whose line ends were converted twice ("\r\r\n") reads the same before and after
// a store rewrites it.
TEST(settings_store, lines_with_extra_carriage_returns_read_the_same_after_a_store)
{
    test_support::settings_home home;
    RegCloseKey(open_key());
    test_support::write_file(settings_file(home), "\"src\"=\"doc.pdf\"\r\r\n\"note\"=x\r\r\r\n");

    // The first pass reads the file as written and rewrites it; the second reads the
    // rewritten file through a fresh key.
    for (const char* pass : {"as written", "after the store"}) {
        HKEY key = open_key();
        DWORD type = 0;
        std::string data;
        EXPECT_EQ(get_bytes(key, "src", type, data), ERROR_SUCCESS) << pass;
        EXPECT_EQ(data, std::string("doc.pdf\0", 8)) << pass;
        EXPECT_EQ(get_bytes(key, "note", type, data), ERROR_FILE_NOT_FOUND) << pass;
        ASSERT_EQ(set_bytes(key, "dest", REG_SZ, std::string("d\0", 2)), ERROR_SUCCESS);
        ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS) << pass;
    }
    const std::string after = test_support::read_file(settings_file(home));
    EXPECT_EQ(after.find('\r'), std::string::npos) << after;
    EXPECT_NE(after.find("\"note\"=x\n"), std::string::npos) << after;
}

TEST(settings_store, a_file_of_garbage_holds_no_values_and_can_be_stored_over)
{
    test_support::settings_home home;
    RegCloseKey(open_key());
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 256);
    test_support::write_file(settings_file(home), garbage);

    HKEY key = open_key();
    DWORD type = 0;
    std::string data;
    EXPECT_EQ(get_bytes(key, "src", type, data), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(set_bytes(key, "src", REG_SZ, std::string("fresh\0", 6)), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    HKEY reopened = open_key(settings_key, KEY_READ);
    EXPECT_EQ(get_bytes(reopened, "src", type, data), ERROR_SUCCESS);
    EXPECT_EQ(data, std::string("fresh\0", 6));
    RegCloseKey(reopened);
}

// What an editor may leave in a file edited by hand.
TEST(settings_store, a_byte_order_mark_before_the_first_line_is_skipped)
{
    test_support::settings_home home;
    RegCloseKey(open_key());
    const std::string bom = "\xef\xbb\xbf";
    const std::string files[] = {
        bom + "\"src\"=\"doc.pdf\"\r\n",
        bom + "; my settings\r\n\"src\"=\"doc.pdf\"\r\n",
        bom + "[HKEY_CURRENT_USER\\Software\\Corvane\\Lumetra]\n\"src\"=\"doc.pdf\"",
    };
    for (const std::string& bytes : files) {
        test_support::write_file(settings_file(home), bytes);
        HKEY key = open_key();
        DWORD type = 0;
        std::string data;
        ASSERT_EQ(get_bytes(key, "src", type, data), ERROR_SUCCESS) << bytes;
        EXPECT_EQ(data, std::string("doc.pdf\0", 8));
        set_bytes(key, "dest", REG_SZ, std::string("d\0", 2));
        ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        // The rewritten file holds no mark and loses no line.
        const std::string after = test_support::read_file(settings_file(home));
        EXPECT_EQ(after.find(bom), std::string::npos);
        EXPECT_NE(after.find("\"src\"=\"doc.pdf\"\n"), std::string::npos) << after;
    }
}

// Whatever is not a regular file of a sane size at the settings path is neither read
// (a FIFO would block, a device or a huge file fill the memory) nor kept from a store.
TEST(settings_store, only_a_regular_file_of_a_sane_size_holds_values)
{
    const hang_guard guard;
    const std::string src_line = "\"src\"=\"from the file\"\n";
    // A value, then a comment line of zero bytes up to the size.
    const auto file_of_size = [src_line](std::size_t size) {
        return [src_line, size](const std::string& path) {
            test_support::write_file(path, src_line + ";");
            fs::resize_file(path, size);
        };
    };
    struct odd_file {
        const char* name;
        std::function<void(const std::string& path)> make;
        bool has_values;   // whether "src" reads from it
        bool store_passes; // whether a store puts a regular file in its place
    };
    const odd_file cases[] = {
        {"FIFO", [](const std::string& path) { test_support::make_fifo(path); }, false, true},
        {"link to /dev/zero", [](const std::string& path) { fs::create_symlink("/dev/zero", path); }, false, true},
        {"link to a folder", [](const std::string& path) { fs::create_symlink("/", path); }, false, true},
        {"link to itself", [](const std::string& path) { fs::create_symlink(path, path); }, false, true},
        {"sparse file of 1.5 GB", file_of_size(1536u << 20), false, true},
        {"one byte over the limit", file_of_size(plat::settings_file::max_size + 1), false, true},
        {"as big as the limit", file_of_size(plat::settings_file::max_size), true, true},
        {"link to a regular file",
         [src_line](const std::string& path) {
             test_support::write_file(path + ".target", src_line);
             fs::create_symlink(path + ".target", path);
         },
         true, true},
        // A folder is not removed to make room: the store fails and the folder stays.
        {"folder", [](const std::string& path) { fs::create_directory(path); }, false, false},
    };
    for (const odd_file& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::settings_home home;
        RegCloseKey(open_key());
        const std::string path = settings_file(home);
        fs::remove(path);
        c.make(path);

        DWORD disposition = 0;
        HKEY key = open_key(settings_key, KEY_ALL_ACCESS, &disposition);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
        DWORD type = 0;
        std::string data;
        EXPECT_EQ(get_bytes(key, "src", type, data), c.has_values ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
        set_bytes(key, "dest", REG_SZ, std::string("stored\0", 7));
        const LONG stored = RegCloseKey(key);
        if (!c.store_passes) {
            EXPECT_NE(stored, ERROR_SUCCESS);
            EXPECT_TRUE(fs::is_directory(fs::symlink_status(path)));
            continue;
        }
        EXPECT_EQ(stored, ERROR_SUCCESS);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path)));
        HKEY reader = open_key(settings_key, KEY_READ);
        EXPECT_EQ(get_bytes(reader, "dest", type, data), ERROR_SUCCESS);
        EXPECT_EQ(data, std::string("stored\0", 7));
        EXPECT_EQ(get_bytes(reader, "src", type, data), c.has_values ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
        RegCloseKey(reader);
    }
    EXPECT_TRUE(fs::is_character_file("/dev/zero"));
}

// No settings file is bigger than settings_file::max_size, so that each can be read back.
// A value that could not fit even alone is refused when it is set, and the rest of the
// pass is stored; values that fit alone but not together fail the store at the close,
// which keeps the old file.
TEST(settings_store, values_too_big_for_the_file_are_refused_or_fail_the_store)
{
    // The text's length that makes a file holding only it exactly max_size bytes.
    const std::size_t header =
        plat::format_registry_file("HKEY_CURRENT_USER\\Software\\Corvane\\Lumetra", {}).size();
    const std::size_t fitting = plat::settings_file::max_size - header - std::string("\"huge\"=\"\"\n").size();
    const auto text_of = [](std::size_t length) { return std::string(length, 'x') + '\0'; };
    struct too_big_case {
        const char* name;
        std::vector<std::string> huge_values; // set as "huge", "huge2", ...
        std::vector<LONG> set_results;
        LONG close_result;
    };
    const too_big_case cases[] = {
        // It fits alone, but the file holds two more values.
        {"exactly as big as a file may be", {text_of(fitting)}, {ERROR_SUCCESS}, ERROR_FILE_TOO_LARGE},
        {"one byte more", {text_of(fitting + 1)}, {ERROR_FILE_TOO_LARGE}, ERROR_SUCCESS},
        {"binary data written three bytes a byte", {std::string(fitting / 2, 'x')}, {ERROR_FILE_TOO_LARGE},
         ERROR_SUCCESS},
        {"far over the size", {std::string(plat::settings_file::max_size * 2, 'x')}, {ERROR_FILE_TOO_LARGE},
         ERROR_SUCCESS},
        {"two that fit only alone", {text_of(fitting / 2 + 1), text_of(fitting / 2 + 1)},
         {ERROR_SUCCESS, ERROR_SUCCESS}, ERROR_FILE_TOO_LARGE},
    };
    for (const too_big_case& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::settings_home home;
        const std::string before = store_old_settings(home);
        HKEY key = open_key();
        ASSERT_EQ(set_bytes(key, "dest", REG_SZ, std::string("new\0", 4)), ERROR_SUCCESS);
        std::string name = "huge";
        for (std::size_t i = 0; i < c.huge_values.size(); ++i, name = "huge" + std::to_string(i + 1)) {
            const DWORD type = c.huge_values[i].back() == '\0' ? REG_SZ : REG_BINARY;
            EXPECT_EQ(set_bytes(key, name.c_str(), type, c.huge_values[i]), c.set_results[i]) << name;
            // A refused value is not there, not even for the key's own queries.
            DWORD read_type = 0;
            std::string data;
            EXPECT_EQ(get_bytes(key, name.c_str(), read_type, data),
                      c.set_results[i] == ERROR_SUCCESS ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
        }
        EXPECT_EQ(RegCloseKey(key), c.close_result);
        if (c.close_result != ERROR_SUCCESS) {
            EXPECT_EQ(test_support::read_file(settings_file(home)), before);
            continue;
        }
        EXPECT_LE(fs::file_size(settings_file(home)), plat::settings_file::max_size);
        HKEY reader = open_key(settings_key, KEY_READ);
        DWORD type = 0;
        std::string data;
        EXPECT_EQ(get_bytes(reader, "dest", type, data), ERROR_SUCCESS);
        EXPECT_EQ(data, std::string("new\0", 4));
        EXPECT_EQ(get_bytes(reader, "huge", type, data), ERROR_FILE_NOT_FOUND);
        RegCloseKey(reader);
    }
}

// Another program holds the lock and never lets go: a store gives up after the lock wait
// (shortened here) instead of waiting for good, and goes through once the lock is free.
TEST(settings_store, a_store_gives_up_on_a_lock_that_is_never_released)
{
    const hang_guard guard;
    test_support::settings_home home;
    const std::string before = store_old_settings(home);
    const std::string path = settings_file(home);
    const plat::settings_file file(path, "key", std::chrono::milliseconds(50));
    const auto store = [&file] {
        return file.update([](plat::reg_file_contents& contents) {
            contents.set(plat::reg_value {"src", REG_SZ, std::string("new\0", 4)});
        });
    };
    const auto create = [&file, &path] {
        fs::remove(path);
        plat::reg_file_contents contents;
        bool created = false;
        return file.open(contents, created);
    };

    for (const std::function<int()>& attempt : {std::function<int()>(store), std::function<int()>(create)}) {
        int ready[2];
        int release[2];
        ASSERT_EQ(pipe(ready), 0);
        ASSERT_EQ(pipe(release), 0);
        const pid_t holder = fork();
        ASSERT_GE(holder, 0);
        if (holder == 0) {
            const int lock = open((path + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
            if (lock < 0 || flock(lock, LOCK_EX) != 0 || write(ready[1], "x", 1) != 1)
                _exit(1);
            _exit(test_support::read_byte(release[0]) ? 0 : 1);
        }
        // Each side keeps only its own ends: a holder that ends before it says it is ready
        // closes the last writer of `ready`, and the parent's wait fails at once.
        close(ready[1]);
        close(release[0]);
        ASSERT_TRUE(test_support::read_byte(ready[0])) << "the holder did not take the lock";

        EXPECT_EQ(attempt(), ETIMEDOUT);
        if (fs::exists(path)) {
            EXPECT_EQ(test_support::read_file(path), before);
        }

        ASSERT_EQ(write(release[1], "x", 1), 1);
        EXPECT_EQ(test_support::exit_code_of(test_support::wait_for_child(holder)), 0);
        close(ready[0]);
        close(release[1]);
        EXPECT_EQ(attempt(), 0);
        EXPECT_TRUE(fs::is_regular_file(path));
    }
}

// A writer killed at any moment of its store leaves the old or the new settings, whole.
TEST(settings_store, a_writer_killed_mid_store_leaves_whole_settings)
{
    test_support::settings_home home;
    // Big enough that a store takes a while, small enough to be read back.
    const std::string big_a(1 << 18, 'a');
    const std::string big_b(1 << 18, 'b');
    HKEY key = open_key();
    ASSERT_EQ(set_bytes(key, "src", REG_SZ, big_a + '\0'), ERROR_SUCCESS);
    ASSERT_EQ(set_bytes(key, "dest", REG_SZ, std::string("kept\0", 5)), ERROR_SUCCESS);
    RegCloseKey(key);

    for (int round = 0; round < 12; ++round) {
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            for (int i = 0;; ++i) {
                HKEY child_key = open_key();
                set_bytes(child_key, "src", REG_SZ, (i % 2 == 0 ? big_b : big_a) + '\0');
                RegCloseKey(child_key);
            }
        }
        usleep(static_cast<useconds_t>(2000 + round * 3000));
        kill(writer, SIGKILL);
        int status = 0;
        waitpid(writer, &status, 0);

        HKEY reader = open_key(settings_key, KEY_READ);
        DWORD type = 0;
        std::string data;
        ASSERT_EQ(get_bytes(reader, "src", type, data), ERROR_SUCCESS) << "round " << round;
        EXPECT_TRUE(data == big_a + '\0' || data == big_b + '\0') << "round " << round;
        ASSERT_EQ(get_bytes(reader, "dest", type, data), ERROR_SUCCESS);
        EXPECT_EQ(data, std::string("kept\0", 5));
        RegCloseKey(reader);
    }
}

// A disk that fills up during the write: the store fails and the old settings stay.
TEST(settings_store, a_store_that_cannot_be_written_keeps_the_old_settings)
{
    test_support::settings_home home;
    const std::string before = store_old_settings(home);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {512, 512};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(3);
        HKEY child_key = open_key();
        if (set_bytes(child_key, "src", REG_SZ, std::string(4096, 'n') + '\0') != ERROR_SUCCESS)
            _exit(2);
        _exit(RegCloseKey(child_key) == EFBIG ? 0 : 1);
    }
    EXPECT_EQ(test_support::exit_code_of(test_support::wait_for_child(child)), 0) << "the failed write was not reported";
    EXPECT_EQ(test_support::read_file(settings_file(home)), before);
    EXPECT_EQ(test_support::files_below(home.config() / "Corvane"),
              (std::set<std::string>{"Lumetra.reg", "Lumetra.reg.lock"}));
}

// Two processes storing at once, pass after pass, each its own values and one shared
// value: nothing lost.
TEST(settings_store, concurrent_stores_from_two_processes_lose_nothing)
{
    test_support::settings_home home;
    RegCloseKey(open_key());
    constexpr int values_each = 60;
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            int failures = 0;
            for (int i = 0; i < values_each; ++i) {
                const std::string name = std::string(1, static_cast<char>('a' + w)) + std::to_string(i);
                HKEY key = open_key();
                failures += set_bytes(key, name.c_str(), REG_SZ, name + '\0') != ERROR_SUCCESS;
                failures += set_bytes(key, "shared", REG_SZ, name + '\0') != ERROR_SUCCESS;
                failures += RegCloseKey(key) != ERROR_SUCCESS;
            }
            _exit(failures == 0 ? 0 : 1);
        }
    }
    for (pid_t writer : writers)
        EXPECT_EQ(test_support::exit_code_of(test_support::wait_for_child(writer)), 0);
    HKEY key = open_key();
    DWORD type = 0;
    std::string data;
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < values_each; ++i) {
            const std::string name = std::string(1, static_cast<char>('a' + w)) + std::to_string(i);
            ASSERT_EQ(get_bytes(key, name.c_str(), type, data), ERROR_SUCCESS) << name;
            EXPECT_EQ(data, name + '\0');
        }
    ASSERT_EQ(get_bytes(key, "shared", type, data), ERROR_SUCCESS);
    EXPECT_TRUE(data == "a59" + std::string(1, '\0') || data == "b59" + std::string(1, '\0'));
    RegCloseKey(key);
}

// Permissions bind only an unprivileged user, so these run as one.
TEST(settings_store, a_folder_or_file_the_user_may_not_touch_fails_cleanly)
{
    test_support::settings_home home;
    const std::string before = store_old_settings(home);
    const std::string file = settings_file(home);
    test_support::open_tree_to_everyone(home.path());

    // A folder the user may read but not write (as its owner or as another user): loads
    // work, the store at the close fails, nothing changes.
    fs::remove(file + ".lock");
    fs::permissions(home.config() / "Corvane", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read
                                                   | fs::perms::group_exec | fs::perms::others_read
                                                   | fs::perms::others_exec);
    const int store_result = test_support::run_unprivileged([] {
        HKEY k = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, settings_key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) != 0)
            return 10;
        DWORD size = 0;
        if (RegQueryValueExA(k, "src", nullptr, nullptr, nullptr, &size) != 0 || size != 4)
            return 11;
        if (set_bytes(k, "src", REG_SZ, std::string("new\0", 4)) != ERROR_SUCCESS)
            return 12;
        return RegCloseKey(k) == ERROR_ACCESS_DENIED ? 0 : 13;
    });
    EXPECT_EQ(store_result, 0);
    EXPECT_EQ(test_support::read_file(file), before);

    // A file the user may not read: the key does not open.
    fs::permissions(file, fs::perms::none);
    const int open_result = test_support::run_unprivileged([] {
        HKEY k = nullptr;
        return RegCreateKeyExA(HKEY_CURRENT_USER, settings_key, 0, nullptr, 0, KEY_READ, nullptr, &k, nullptr);
    });
    EXPECT_EQ(open_result, ERROR_ACCESS_DENIED);
}


// The settings store follows links as the system's link protection does, whatever the
// machine's setting: in a configuration folder like /tmp (everyone may make files there, the
// sticky bit keeps each user's own), a link of the user's own is followed, and one that
// another user planted is not, neither on the way nor as the file itself. The key then can't
// be opened, and nothing is read from or written to where the link leads.
struct planted_settings_case {
    const char* name;
    // Makes the links below `sticky`, the configuration folder; `elsewhere` holds a folder
    // "Corvane" with the file "Lumetra.reg" in it.
    void (*make)(const std::string& sticky, const std::string& elsewhere);
    bool planted;
};

void expect_settings_through(const planted_settings_case& c)
{
    SCOPED_TRACE(c.name);
    test_support::temp_dir dir;
    const std::string sticky = dir.file("config"), elsewhere = dir.file("elsewhere");
    test_support::make_folder(sticky, 01777);
    fs::create_directories(elsewhere + "/Corvane");
    const std::string planted_file = elsewhere + "/Corvane/Lumetra.reg";
    const std::string planted_bytes = "\"src\"=\"planted.pdf\"\n";
    test_support::write_file(planted_file, planted_bytes);
    c.make(sticky, elsewhere);
    const test_support::scoped_env config("XDG_CONFIG_HOME", sticky);

    for (const REGSAM access : {KEY_READ, KEY_ALL_ACCESS}) {
        HKEY key = nullptr;
        const LONG opened =
            RegCreateKeyExA(HKEY_CURRENT_USER, settings_key, 0, nullptr, 0, access, nullptr, &key, nullptr);
        if (c.planted) {
            EXPECT_EQ(opened, ERROR_ACCESS_DENIED);
            continue;
        }
        ASSERT_EQ(opened, ERROR_SUCCESS);
        DWORD type = 0;
        std::string data;
        EXPECT_EQ(get_bytes(key, "src", type, data), ERROR_SUCCESS);
        EXPECT_EQ(data, std::string("planted.pdf\0", 12));
        if (access == KEY_ALL_ACCESS) {
            EXPECT_EQ(set_bytes(key, "dest", REG_SZ, std::string("mine\0", 5)), ERROR_SUCCESS);
        }
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
    if (c.planted) {
        EXPECT_EQ(test_support::read_file(planted_file), planted_bytes);
        EXPECT_EQ(test_support::files_below(elsewhere), (std::set<std::string>{"Corvane", "Corvane/Lumetra.reg"}));
    } else {
        EXPECT_NE(test_support::read_file(planted_file).find("\"dest\"=\"mine\"\n"), std::string::npos);
    }
}

TEST(settings_store, the_users_own_link_in_a_sticky_folder_is_followed)
{
    expect_settings_through({"the folder of the file",
                             [](const std::string& sticky, const std::string& elsewhere) {
                                 fs::create_directory_symlink(elsewhere + "/Corvane", sticky + "/Corvane");
                             },
                             false});
}

TEST(settings_store, another_users_link_in_a_sticky_folder_is_not_followed)
{
    if (!test_support::can_plant_links())
        GTEST_SKIP() << "only root can make a link that another user owns";
    const planted_settings_case cases[] = {
        {"the folder of the file",
         [](const std::string& sticky, const std::string& elsewhere) {
             test_support::plant_link(elsewhere + "/Corvane", sticky + "/Corvane");
         },
         true},
        {"the file itself",
         [](const std::string& sticky, const std::string& elsewhere) {
             test_support::make_folder(sticky + "/Corvane", 01777);
             test_support::plant_link(elsewhere + "/Corvane/Lumetra.reg", sticky + "/Corvane/Lumetra.reg");
         },
         true},
    };
    for (const planted_settings_case& c : cases)
        expect_settings_through(c);
}

} // namespace
