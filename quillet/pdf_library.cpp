#include "pdf_library.h"

#include "message_table.h"
#include "pdf_page_tree.h"
#include "plat_error.h"
#include "plat_open_regular.h"
#include "plat_staging_file.h"
#include "plat_write_all.h"
#include "tk_exception.h"
#include "tk_log.h"
#include "tk_thread.h"

#include <Error.h>
#include <ErrorCodes.h>
#include <GlobalParams.h>
#include <Stream.h>
#include <XRef.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {

// The library's messages go nowhere: nothing of it reaches the console.
void drop_library_message(ErrorCategory, Goffset, const char*) {}

// A configuration line's tokens: blank-separated, a double-quoted token may hold blanks.
std::vector<std::string> config_tokens(const std::string& line)
{
    // A carriage return counts as a blank, so that a file with DOS line ends reads alike.
    constexpr const char* blanks = " \t\r";
    std::vector<std::string> tokens;
    for (std::size_t i = line.find_first_not_of(blanks); i != std::string::npos;) {
        if (line[i] == '"') {
            const std::size_t quote = line.find('"', i + 1);
            if (quote == std::string::npos)
                return {}; // an unclosed quote makes the line malformed
            tokens.push_back(line.substr(i + 1, quote - i - 1));
            i = line.find_first_not_of(blanks, quote + 1);
        } else {
            const std::size_t end = line.find_first_of(blanks, i);
            tokens.push_back(line.substr(i, end - i));
            i = line.find_first_not_of(blanks, end);
        }
    }
    return tokens;
}

void apply_config_line(const std::vector<std::string>& tokens, pdf_text_settings& settings)
{
    if (tokens.size() != 2)
        return;
    const std::string& key = tokens[0];
    const std::string& value = tokens[1];
    if (key == "textEncoding") {
        settings.encoding = value;
    } else if (key == "textEOL") {
        if (value == "unix")
            settings.end_of_line = eolUnix;
        else if (value == "dos")
            settings.end_of_line = eolDOS;
        else if (value == "mac")
            settings.end_of_line = eolMac;
    } else if (key == "textPageBreaks") {
        if (value == "yes")
            settings.page_breaks = true;
        else if (value == "no")
            settings.page_breaks = false;
    }
}

// A configuration file is a few lines; anything bigger is not one.
constexpr std::size_t config_file_max_size = 1 << 20;

// Reads a configuration file; false when there is none. Only a regular file of bounded
// size counts: anything else at the path (a FIFO that would block, a device without end,
// a huge file) counts as no file, with a log line, so that start-up can neither hang nor
// fill the memory on it.
bool read_config_file(const std::string& path, std::string& text)
{
    const int error = plat::read_regular_file(path, config_file_max_size, text);
    if (error == 0)
        return true;
    if (error != ENOENT)
        tk_log(1, "Configuration file %s not read: %s", path.c_str(), std::strerror(error));
    return false;
}

// The trailer's encryption dictionary as the library read it; no dictionary when the
// document has none.
Object encryption_dictionary(const PDFDoc& doc)
{
    XRef* xref = doc.getXRef();
    if (xref == nullptr)
        return Object();
    const Object* trailer = xref->getTrailerDict();
    if (trailer == nullptr || !trailer->isDict())
        return Object();
    return trailer->dictLookup("Encrypt");
}

// Whether the trailer's encryption dictionary names the standard security handler: only
// then can a failed opening be a wrong password.
bool has_standard_security(const PDFDoc& doc)
{
    const Object encrypt = encryption_dictionary(doc);
    return encrypt.isDict() && encrypt.dictLookup("Filter").isName("Standard");
}

// The library decrypts a document only as its standard handler defines it. One whose
// version, revision or crypt filter method it does not support it reads as if nothing
// were encrypted, or (version 5) decrypts with RC4 over the AES-256 key: its text would
// come out empty or garbled behind a success. Crypt filters named "Identity" for streams
// and strings do say that nothing is encrypted.
bool library_decrypts(PDFDoc& doc)
{
    const Object encrypt = encryption_dictionary(doc);
    if (!encrypt.isDict())
        return true;
    if (!doc.isEncrypted())
        return encrypt.dictLookup("StmF").isName("Identity") && encrypt.dictLookup("StrF").isName("Identity");
    unsigned char* key = nullptr;
    CryptAlgorithm algorithm = cryptNone;
    int key_length = 0;
    doc.getXRef()->getEncryptionParameters(&key, &algorithm, &key_length);
    const Object version = encrypt.dictLookup("V");
    return !version.isInt() || version.getInt() != 5 || algorithm == cryptAES256;
}

// The longest password that the library can take: its AES-256 password hash holds 127
// bytes, all that the standard keeps of a password. Of an RC4 or AES-128 password the
// library itself keeps 32 bytes.
constexpr std::size_t password_max_length = 127;

// The library's abort test between its steps: only a stop request of the thread (the
// wizard closing during a run) ends a page early.
bool stop_requested(void*) { return tk_stop_requested_on_this_thread(); }

} // namespace

void pdf_apply_config_text(const std::string& text, pdf_text_settings& settings)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::vector<std::string> tokens = config_tokens(line);
        if (!tokens.empty() && tokens[0][0] != '#')
            apply_config_line(tokens, settings);
    }
}

pdf_text_settings pdf_load_text_settings(const char* home, const std::string& system_file)
{
    pdf_text_settings settings;
    std::string text;
    if ((home != nullptr && *home != '\0' && read_config_file(std::string(home) + "/.xpdfrc", text)) ||
        read_config_file(system_file, text))
        pdf_apply_config_text(text, settings);
    return settings;
}

pdf_library::pdf_library()
{
    tk_log(2, "pdf_library::ctor");
    setErrorCallback(drop_library_message);
    globalParams = std::make_unique<GlobalParams>();
    globalParams->setErrQuiet(true);
    settings = pdf_load_text_settings(std::getenv("HOME"));
    // An encoding that the library does not know would make it write no text at all.
    globalParams->setTextEncoding(settings.encoding.c_str());
    if (globalParams->getTextEncoding() == nullptr) {
        tk_log(1, "Unknown text encoding %s, Latin1 kept", settings.encoding.c_str());
        settings.encoding = pdf_text_settings().encoding;
        globalParams->setTextEncoding(settings.encoding.c_str());
    }
}

pdf_library::~pdf_library()
{
    tk_log(2, "pdf_library::dtor");
    globalParams.reset();
}

namespace {

// The passwords that the library is given: none, or the first bytes of `password` that it
// can take, as owner and as user password.
struct library_passwords {
    std::optional<GooString> owner;
    std::optional<GooString> user;
};

library_passwords passwords_for(const std::optional<std::string>& password)
{
    library_passwords given;
    if (password) {
        const std::string kept = password->substr(0, password_max_length);
        given.owner.emplace(kept);
        given.user.emplace(kept);
    }
    return given;
}

// The library's verdict on a document it has just opened, as the system's failures.
std::unique_ptr<PDFDoc> checked_opening(std::unique_ptr<PDFDoc> doc)
{
    if (doc->isOk()) {
        if (!library_decrypts(*doc)) {
            tk_log(1, "The library can't decrypt the document");
            throw tk_exception(msg::pdf_unreadable, 1);
        }
        if (!pdf_page_tree_opens(*doc))
            throw tk_exception(msg::pdf_unreadable, 1);
        return doc;
    }
    const int error = doc->getErrorCode();
    tk_log(1, "The library could not open the document: error %d", error);
    if (error == errOpenFile)
        return doc;
    if (error == errEncrypted && has_standard_security(*doc))
        throw pdf_wrong_pswd_exception();
    throw tk_exception(msg::pdf_unreadable, 1);
}

} // namespace

std::unique_ptr<PDFDoc> pdf_open_document(const std::string& file, const std::optional<std::string>& password,
                                          const std::function<void()>& on_rebuild)
{
    tk_log(2, "pdf_open_document(%s)", file.c_str());
    const library_passwords given = passwords_for(password);
    return checked_opening(
        std::make_unique<PDFDoc>(std::make_unique<GooString>(file), given.owner, given.user, nullptr, on_rebuild));
}

std::unique_ptr<PDFDoc> pdf_open_document(pdf_source_file& source, const std::optional<std::string>& password,
                                          const std::function<void()>& on_rebuild)
{
    tk_log(2, "pdf_open_document(open file)");
    const library_passwords given = passwords_for(password);
    // The document owns the stream, which reads the open file without owning it.
    GooFile& file = source.goo_file();
    auto* stream = new FileStream(&file, 0, false, file.size(), Object(objNull));
    return checked_opening(std::make_unique<PDFDoc>(stream, given.owner, given.user, nullptr, on_rebuild));
}

namespace {

[[noreturn]] void throw_system_error(int error)
{
    plat::set_last_error(error != 0 ? error : EIO);
    throw tk_exception_ex();
}

} // namespace

pdf_text_output::pdf_text_output(const std::string& dest, const pdf_text_settings& settings) : dest(dest)
{
    const int fd = plat::open_staging_file(dest);
    if (fd < 0)
        throw_system_error(errno);
    staged = ::fdopen(fd, "w+b");
    if (staged == nullptr) {
        const int error = errno;
        ::close(fd);
        throw_system_error(error);
    }
    text_device = std::make_unique<TextOutputDev>(write, this, true, 0, false);
    text_device->setTextEOL(settings.end_of_line);
    text_device->setTextPageBreaks(settings.page_breaks);
}

pdf_text_output::~pdf_text_output()
{
    text_device.reset();
    // Closing the staging file removes it.
    std::fclose(staged);
}

void pdf_text_output::write(void* self, const char* text, int length)
{
    auto* out = static_cast<pdf_text_output*>(self);
    if (out->write_error != 0 || length <= 0)
        return;
    errno = 0;
    if (std::fwrite(text, 1, static_cast<std::size_t>(length), out->staged) != static_cast<std::size_t>(length))
        out->write_error = errno != 0 ? errno : EIO;
}

void pdf_text_output::check() const
{
    if (write_error != 0)
        throw_system_error(write_error);
}

void pdf_text_output::copy_into_destination()
{
    text_device.reset();
    errno = 0;
    if (std::fflush(staged) != 0 && write_error == 0)
        write_error = errno != 0 ? errno : EIO;
    check();
    // The mode of a new file is that of fopen's "wb", which the umask then narrows.
    const int fd = ::open(dest.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw_system_error(errno);
    int error = plat::copy_all(::fileno(staged), fd);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        throw_system_error(error);
}

void pdf_display_page(PDFDoc& doc, pdf_text_output& out, int page)
{
    // The library displays a page that it counts but can't reach in its page tree as
    // nothing: the text would come out with the page missing, reported as a success.
    if (doc.getPage(page) == nullptr) {
        tk_log(1, "Page %d of %d can't be reached in the page tree", page, doc.getNumPages());
        throw tk_exception(msg::pdf_unreadable, 1);
    }
    doc.displayPage(&out.device(), page, 72, 72, 0, false, true, false, stop_requested, nullptr);
    out.check();
}
