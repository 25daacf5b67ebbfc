// QLTAGENT over every fixture document and over damaged copies of them, made on the fly
// with a fixed seed: truncated ones and ones with bytes flipped. Whatever the bytes, the
// program converts or reports one of its messages on the right stream and ends with 0 or
// -1: no crash, no hang, no file but the destination it was given, the source untouched.
// A success writes what the library's own tool writes for the same bytes: the library
// reads the document, so the program converts it, page for page. A success with an empty
// text (no page converted) is right only for a document that has no pages, as qpdf, a
// reader of its own, finds them in the undamaged document. A failure leaves no destination:
// every refusal comes before it is made.
// A variant that breaks a rule is kept in the build folder (sweep_failures/) to rerun.
#include "message_table.h"
#include "qltagent_process.h"
#include "test_support.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <set>

namespace {

namespace fs = std::filesystem;

constexpr int failed = 255; // exit(-1) as the shell sees it
constexpr unsigned time_limit_seconds = 20;
constexpr std::uint32_t sweep_seed = 20261210;
constexpr int truncated_per_document = 8;
constexpr int flipped_per_document = 8;
constexpr int tail_flipped_per_document = 4;

struct variant {
    std::string name;
    std::string bytes;
};

// A seed of its own for each document, the same on every run and every machine.
std::uint32_t seed_of(const std::string& name)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash ^ sweep_seed;
}

std::string flip_bytes(std::string bytes, std::mt19937& random, std::size_t from)
{
    const int flips = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < flips && from < bytes.size(); ++i) {
        const std::size_t at = from + random() % (bytes.size() - from);
        bytes[at] = static_cast<char>(bytes[at] ^ (1 + random() % 255));
    }
    return bytes;
}

// The document itself, then copies cut short at random lengths, then copies with a few
// bytes changed anywhere, then some changed in the last quarter, where the
// cross-reference table and the trailer are.
std::vector<variant> variants_of(const std::string& name, const std::string& bytes)
{
    std::mt19937 random(seed_of(name));
    std::vector<variant> variants {{"whole", bytes}};
    for (int i = 0; i < truncated_per_document && !bytes.empty(); ++i) {
        const std::size_t length = random() % bytes.size();
        variants.push_back({"cut_at_" + std::to_string(length), bytes.substr(0, length)});
    }
    for (int i = 0; i < flipped_per_document; ++i)
        variants.push_back({"flipped_" + std::to_string(i), flip_bytes(bytes, random, 0)});
    for (int i = 0; i < tail_flipped_per_document; ++i)
        variants.push_back({"tail_flipped_" + std::to_string(i), flip_bytes(bytes, random, bytes.size() * 3 / 4)});
    return variants;
}

std::vector<std::string> sweep_documents()
{
    std::vector<std::string> documents;
    for (const auto& entry : fs::directory_iterator(QLT_FIXTURES_DIR))
        if (entry.path().extension() == ".pdf")
            documents.push_back(entry.path().string());
    documents.push_back(QLT_SOURCE_DIR "/samples/sample.pdf");
    std::sort(documents.begin(), documents.end());
    return documents;
}

// The error report of the console build: "Error:", then the message on one line.
std::string error_report(std::string message)
{
    std::replace(message.begin(), message.end(), '\n', ' ');
    return std::string(msg::report_error_head) + "\n" + message + "\n";
}

// Whether qpdf, walking the page tree itself, finds no page in `document` and reads it
// without a warning: only then may a success leave the destination empty.
bool qpdf_finds_no_page(const fs::path& document)
{
    const std::string command = "qpdf --json --json-key=pages '" + document.string() + "' 2>/dev/null";
    std::FILE* output = popen(command.c_str(), "r");
    if (output == nullptr)
        return false;
    std::string json;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, output)) > 0;)
        json.append(buffer, n);
    const bool clean = pclose(output) == 0;
    // Each page's entry names its position in the document.
    return clean && json.find("\"pages\"") != std::string::npos && json.find("\"pageposfrom1\"") == std::string::npos;
}

// What the library's own tool writes for `src` with the program's text settings and
// `password` as both passwords (none: empty); nothing when the tool fails.
std::optional<std::string> library_tool_text(const fs::path& src, const std::string& password, const fs::path& out)
{
    std::string command = "pdftotext -q -layout -enc Latin1 -eol dos ";
    if (!password.empty())
        command += "-opw '" + password + "' -upw '" + password + "' ";
    command += "'" + src.string() + "' '" + out.string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return std::nullopt;
    return test_support::read_file(out.string());
}

// "" when the run's end keeps the rules, otherwise what broke them. `may_be_empty`: the
// document has no pages, so a success may leave an empty destination. `tool_text`: what the
// library's tool wrote, asked for on a success that converted pages; none where the tool
// can't be compared.
std::string judge(const qltagent_process::result& r, const std::optional<std::string>& dest_text, bool may_be_empty,
                  const std::function<std::optional<std::string>()>& tool_text)
{
    if (r.timed_out())
        return "hung past the time limit";
    if (r.exit_code == 0) {
        if (!r.out.empty() || !r.err.empty())
            return "a conversion that reported something";
        if (!dest_text)
            return "a conversion without a destination";
        // Each converted page ends in a page break, so an empty text converted no page.
        if (dest_text->empty())
            return may_be_empty ? "" : "a success that converted no page of a document with pages";
        return !tool_text || tool_text() == dest_text ? "" : "a success whose text is not the library tool's";
    }
    if (r.exit_code != failed)
        return "ended with code " + std::to_string(r.exit_code);
    if (dest_text)
        return "a failure that made a destination";
    const std::set<std::string> reports = {error_report(msg::pdf_unreadable), error_report(msg::incorrect_password)};
    if (r.err.empty() && reports.count(r.out) != 0)
        return "";
    return "a failure without one of the system's reports";
}

void keep_failed_variant(const fs::path& document, const variant& v)
{
    const fs::path folder = fs::path(QLT_BINARY_DIR) / "sweep_failures";
    fs::create_directories(folder);
    test_support::write_file((folder / (document.stem().string() + "_" + v.name + ".pdf")).string(), v.bytes);
}

class corrupt_input_sweep : public testing::TestWithParam<std::string> {};

TEST_P(corrupt_input_sweep, every_variant_converts_or_reports_cleanly)
{
    const fs::path document = GetParam();
    const std::vector<variant> variants = variants_of(document.filename().string(), test_support::read_file(document));
    ASSERT_EQ(std::system("qpdf --version >/dev/null 2>&1"), 0) << "qpdf is needed to count the pages";
    const bool may_be_empty = qpdf_finds_no_page(document);
    // The tool keeps the text outside a page's crop box, which the conversion leaves out.
    const bool tool_comparable = variants.front().bytes.find("/CropBox") == std::string::npos;
    int index = 0;
    for (const variant& v : variants) {
        SCOPED_TRACE(document.filename().string() + " " + v.name);
        test_support::temp_dir home;
        test_support::temp_dir work;
        fs::create_directories(work.path() / "out");
        const fs::path src = work.path() / "doc.pdf";
        test_support::write_file(src.string(), v.bytes);

        // Every third run takes the default destination beside the source; every other
        // one gives the encrypted fixtures' user password.
        const bool default_dest = index % 3 == 0;
        const fs::path dest = default_dest ? work.path() / "doc.txt" : work.path() / "out" / "dest.txt";
        qltagent_process::launch how {{"--src=" + src.string()}, home.path(), work.path()};
        if (!default_dest)
            how.arguments.push_back("--dest=" + dest.string());
        if (index % 2 == 0)
            how.arguments.push_back("--pswd=user-secret");
        how.time_limit_seconds = time_limit_seconds;
        ++index;

        const qltagent_process::result r = qltagent_process::run(how);
        const bool dest_exists = fs::exists(dest);
        const std::optional<std::string> dest_text =
            dest_exists ? std::optional<std::string>(test_support::read_file(dest.string())) : std::nullopt;
        const std::string password = index % 2 == 1 ? "user-secret" : "";
        std::function<std::optional<std::string>()> tool_text;
        if (tool_comparable)
            tool_text = [&] { return library_tool_text(src, password, home.path() / "tool.txt"); };
        const std::string verdict = judge(r, dest_text, may_be_empty, tool_text);
        std::set<std::string> expected_files = {"doc.pdf", "out"};
        if (dest_exists)
            expected_files.insert(fs::relative(dest, work.path()).string());
        const bool source_kept = test_support::read_file(src.string()) == v.bytes;
        const bool only_dest = test_support::files_below(work.path()) == expected_files;

        EXPECT_EQ(verdict, "") << "exit " << r.exit_code << "\nstdout: " << r.out << "\nstderr: " << r.err;
        EXPECT_TRUE(source_kept);
        EXPECT_TRUE(only_dest);
        if (!verdict.empty() || !source_kept || !only_dest)
            keep_failed_variant(document, v);
    }
}

std::string case_name(const testing::TestParamInfo<std::string>& info)
{
    std::string name = fs::path(info.param).filename().string();
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(documents, corrupt_input_sweep, testing::ValuesIn(sweep_documents()), case_name);

} // namespace
