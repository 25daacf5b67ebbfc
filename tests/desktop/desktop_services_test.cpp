// The desktop services: a library's version, the clipboard hand-off to a keeper program and
// the bug-report mail to the transfer agent.
#include "plat_clipboard.h"
#include "test_support.h"
#include "tk_desktop_services.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

using test_support::read_file;
using test_support::scoped_env;
using test_support::temp_dir;
using test_support::write_file;

namespace {

std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// A program in `dir` that copies its standard input, and its arguments, into files beside it.
void make_recorder(const temp_dir& dir, const std::string& name)
{
    const std::string path = dir.file(name);
    write_file(path, "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/" + name + ".args\"\ncat > \"$(dirname \"$0\")/" +
                         name + ".in\"\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

std::string cwd()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

} // namespace

TEST(library_version, is_read_from_the_export_or_zero)
{
    EXPECT_EQ(get_dll_version(wide(QLT_VERSIONED_LIBRARY).c_str()), 0x5004Fu);
    EXPECT_EQ(get_dll_version(wide(QLT_UNVERSIONED_LIBRARY).c_str()), 0u);
    EXPECT_EQ(get_dll_version(L"/nonexistent/library.so"), 0u);
}

TEST(library_version, of_the_common_controls_is_the_modules_6_0)
{
    if (!QLT_WITH_COMCTL)
        GTEST_SKIP() << "built without the user interface";
    EXPECT_EQ(get_dll_version(L"comctl32.dll"), 0x60000u);
    EXPECT_EQ(get_dll_version(L"COMCTL32.DLL"), 0x60000u);
}

TEST(bug_mail, goes_to_the_transfer_agent_with_subject_date_and_text)
{
    temp_dir agent_dir;
    make_recorder(agent_dir, "sendmail");
    scoped_env path("PATH", agent_dir.path().string() + ":/usr/bin:/bin");
    const std::string before = cwd();
    tk_send_bug("Lumetra 3.3", "Internal error: \ncode=41\n.\nafter a lone dot");
    EXPECT_EQ(cwd(), before);
    const std::string mail = read_file(agent_dir.file("sendmail.in"));
    EXPECT_EQ(read_file(agent_dir.file("sendmail.args")), "-t -oi\n");
    EXPECT_NE(mail.find("To: support@corvane.example\n"), std::string::npos);
    EXPECT_NE(mail.find("Subject: Bug report on Lumetra 3.3\n"), std::string::npos);
    EXPECT_NE(mail.find("X-Date-Received: "), std::string::npos);
    EXPECT_NE(mail.find("\n\nInternal error: \ncode=41\n.\nafter a lone dot\n"), std::string::npos);
}

TEST(bug_mail, without_a_transfer_agent_sends_nothing_and_returns)
{
    temp_dir empty;
    scoped_env path("PATH", empty.path().string());
    const std::string before = cwd();
    tk_send_bug("", "text");
    EXPECT_EQ(cwd(), before);
}

TEST(bug_mail, date_text_has_no_leading_zeros_and_none_before_1970)
{
    scoped_env zone("TZ", "UTC");
    tzset();
    EXPECT_EQ(tk_bug_date_text(1772874300), "2026/3/7 9:5"); // 2026-03-07 09:05 UTC
    EXPECT_EQ(tk_bug_date_text(-1), "");
}

TEST(clipboard, text_goes_to_the_keeper_up_to_its_first_nul)
{
    temp_dir keeper_dir;
    make_recorder(keeper_dir, "xclip");
    scoped_env path("PATH", keeper_dir.path().string() + ":/usr/bin:/bin");
    scoped_env display("DISPLAY", ":99");
    scoped_env wayland("WAYLAND_DISPLAY", "");
    tk_copy_to_clipboard1(std::string("line one\r\nline two\0hidden", 24));
    EXPECT_EQ(read_file(keeper_dir.file("xclip.in")), "line one\r\nline two");
    EXPECT_EQ(read_file(keeper_dir.file("xclip.args")), "-selection clipboard\n");
}

TEST(clipboard, without_a_keeper_or_fallback_nothing_is_copied)
{
    temp_dir empty;
    scoped_env path("PATH", empty.path().string());
    scoped_env display("DISPLAY", "");
    scoped_env wayland("WAYLAND_DISPLAY", "");
    plat::set_clipboard_fallback(nullptr);
    EXPECT_FALSE(plat::open_clipboard());
    tk_copy_to_clipboard1("lost");
}
