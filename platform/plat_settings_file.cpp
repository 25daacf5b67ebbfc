#include "plat_settings_file.h"

#include "plat_write_all.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

constexpr mode_t file_mode = 0600;
constexpr mode_t folder_mode = 0700;

std::string folder_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int read_all(int fd, std::string& bytes)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

// Holds the exclusive lock of a key file for as long as it lives. The lock sits on a
// file of its own beside the key file, since the key file itself is replaced by rename.
class store_lock {
public:
    explicit store_lock(const std::string& key_path)
    {
        fd = ::open((key_path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, file_mode);
        if (fd < 0) {
            error = errno;
            return;
        }
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                error = errno;
                return;
            }
        }
    }
    ~store_lock()
    {
        if (fd >= 0)
            ::close(fd);
    }
    store_lock(const store_lock&) = delete;
    store_lock& operator=(const store_lock&) = delete;

    int error = 0;

private:
    int fd = -1;
};

} // namespace

settings_file::settings_file(std::string path_, std::string key_name_)
    : path(std::move(path_)), key_name(std::move(key_name_))
{
}

bool settings_file::exists() const
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

int settings_file::read(reg_file_contents& contents) const
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            contents = reg_file_contents();
            return 0;
        }
        return errno;
    }
    std::string bytes;
    const int error = read_all(fd, bytes);
    ::close(fd);
    if (error != 0)
        return error;
    contents = parse_registry_file(bytes);
    return 0;
}

int settings_file::make_folders() const
{
    const std::string folder = folder_of(path);
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        struct stat info {};
        if (::stat(part.c_str(), &info) != 0 && ::mkdir(part.c_str(), folder_mode) != 0 && errno != EEXIST)
            return errno;
        if (slash == std::string::npos)
            return 0;
    }
}

int settings_file::create(bool& created) const
{
    created = false;
    if (exists()) {
        // An existing key must at least be readable to be opened.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return errno;
        ::close(fd);
        return 0;
    }
    if (const int error = make_folders())
        return error;
    const store_lock lock(path);
    if (lock.error != 0)
        return lock.error;
    // Another process may have made it while this one waited for the lock.
    if (exists())
        return 0;
    if (const int error = replace(format_registry_file(key_name, reg_file_contents())))
        return error;
    created = true;
    return 0;
}

int settings_file::update(const std::function<void(reg_file_contents&)>& change) const
{
    if (const int error = make_folders())
        return error;
    const store_lock lock(path);
    if (lock.error != 0)
        return lock.error;
    reg_file_contents contents;
    if (const int error = read(contents))
        return error;
    change(contents);
    return replace(format_registry_file(key_name, contents));
}

// Writes the new file beside the old one, flushes it to the disk and renames it over the
// old one; the folder is flushed too, so the rename itself survives a power cut.
int settings_file::replace(const std::string& bytes) const
{
    const std::string fresh = path + ".new";
    // A file left by a writer that died is removed first, whoever owns it.
    if (::unlink(fresh.c_str()) != 0 && errno != ENOENT)
        return errno;
    const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, file_mode);
    if (fd < 0)
        return errno;
    int error = ::fchmod(fd, file_mode) == 0 ? 0 : errno;
    if (error == 0)
        error = write_all(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(fresh.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(fresh.c_str());
        return error;
    }
    const int folder = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return 0;
}

} // namespace plat
