#include "plat_settings_file.h"

#include "plat_follow_links.h"
#include "plat_open_regular.h"
#include "plat_replace_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace plat {

namespace {

constexpr mode_t file_mode = 0600;

// The longest pause between two tries of a lock that another program holds; its stores
// take milliseconds, so a waiter sees it free soon after.
constexpr std::chrono::milliseconds longest_lock_pause {20};

// Holds the exclusive lock of a key file for as long as it lives. The lock sits on a
// file of its own beside the key file, since the key file itself is replaced by rename.
// A lock that another program holds for longer than `wait` is not taken (ETIMEDOUT):
// that program may hang, and this one must not hang with it.
class store_lock {
public:
    store_lock(const path_end& key, std::chrono::milliseconds wait)
    {
        fd = ::openat(key.folder.get(), (key.name + ".lock").c_str(),
                      O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW, file_mode);
        if (fd < 0) {
            error = errno;
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + wait;
        std::chrono::milliseconds pause {1};
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR)
                continue;
            if (errno != EWOULDBLOCK) {
                error = errno;
                return;
            }
            const auto now = std::chrono::steady_clock::now();
            if (now >= deadline) {
                error = ETIMEDOUT;
                return;
            }
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
            pause = std::min(pause * 2, longest_lock_pause);
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

settings_file::settings_file(std::string path_, std::string key_name_, std::chrono::milliseconds lock_wait_)
    : path(std::move(path_)), key_name(std::move(key_name_)), lock_wait(lock_wait_)
{
}

int settings_file::read_bytes(std::string& bytes, bool& missing) const
{
    missing = false;
    bytes.clear();
    path_end end;
    int error = find_path_end(path, true, end);
    if (error == 0)
        error = end.exists ? read_regular_entry(end.folder.get(), end.name, max_size, bytes) : ENOENT;
    switch (error) {
    case ENOENT:
        missing = true;
        return 0;
    // Not a regular file (a folder, a FIFO, a device...), links that lead only to links, or
    // a file too big to be settings: no values.
    case EISDIR:
    case EINVAL:
    case ELOOP:
    case EFBIG:
        return 0;
    default:
        return error;
    }
}

int settings_file::read_file(reg_file_contents& contents, bool& missing) const
{
    std::string bytes;
    const int error = read_bytes(bytes, missing);
    contents = parse_registry_file(bytes);
    return error;
}

// The key file's folder, made with the folders above it when missing, and the key file in it
// (a link there not followed: a store replaces the link itself).
int settings_file::find_key(path_end& key) const { return find_path_end(path, false, key, true); }

// Best effort: the password the file may hold is then readable by its owner only. Only a
// regular file is opened (no device acts on it), and not through a link, so that no file
// elsewhere changes its mode.
void settings_file::make_private() const
{
    path_end key;
    if (find_path_end(path, false, key) != 0 || !key.exists || !S_ISREG(key.status.st_mode)
        || (key.status.st_mode & 07777) == file_mode)
        return;
    struct stat status {};
    const int fd = open_regular_entry(key.folder.get(), key.name, O_RDONLY, status);
    if (fd < 0)
        return;
    if ((status.st_mode & 07777) != file_mode)
        static_cast<void>(::fchmod(fd, file_mode));
    ::close(fd);
}

int settings_file::open(reg_file_contents& contents, bool& created, bool for_writing) const
{
    created = false;
    bool missing = false;
    if (const int error = read_file(contents, missing); error != 0 || !missing) {
        if (error == 0 && for_writing)
            make_private();
        return error;
    }
    path_end key;
    if (const int error = find_key(key))
        return error;
    const store_lock lock(key, lock_wait);
    if (lock.error != 0)
        return lock.error;
    // Another process may have made it while this one waited for the lock.
    if (const int error = read_file(contents, missing); error != 0 || !missing)
        return error;
    if (const int error = replace(key, format_registry_file(key_name, contents)))
        return error;
    created = true;
    return 0;
}

bool settings_file::can_ever_hold(const reg_value& value) const
{
    // Every byte of the data takes at least one byte in the file (a text's terminating zero
    // is implied, but its quotes take two): no need to format a value that big.
    if (value.data.size() > max_size)
        return false;
    reg_file_contents alone;
    alone.set(value);
    return format_registry_file(key_name, alone).size() <= max_size;
}

int settings_file::update(const std::function<void(reg_file_contents&)>& change) const
{
    path_end key;
    if (const int error = find_key(key))
        return error;
    const store_lock lock(key, lock_wait);
    if (lock.error != 0)
        return lock.error;
    std::string old_bytes;
    bool missing = false;
    if (const int error = read_bytes(old_bytes, missing))
        return error;
    reg_file_contents contents = parse_registry_file(old_bytes);
    change(contents);
    const std::string bytes = format_registry_file(key_name, contents);
    // A file too big to be read back would lose every value at the next read.
    if (bytes.size() > max_size)
        return EFBIG;
    // Writing the very bytes the file holds would change nothing but cost a flush.
    if (!missing && bytes == old_bytes)
        return 0;
    return replace(key, bytes);
}

// Writes the new file beside the old one, flushes it to the disk and renames it over the
// old one. Once the new file's bytes are on the disk, the rename leaves the old or the
// new file whole whenever the system stops; the folder is not flushed as well, since a
// rename that a power cut undoes leaves the old settings, which is allowed. What stands at
// the key's name now counts, not what stood there when the key was found.
int settings_file::replace(const path_end& key, const std::string& bytes) const
{
    const bool there = ::faccessat(key.folder.get(), key.name.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0;
    return replace_in_folder(key.folder.get(), key.name, there, bytes);
}

} // namespace plat
