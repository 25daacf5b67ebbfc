#include "plat_replace_file.h"

#include "plat_follow_links.h"
#include "plat_write_all.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

constexpr mode_t file_mode = 0600;
// How often a fresh name is drawn before giving up on names that are taken.
constexpr int name_tries = 100;

// A hidden name drawn at random, which tells nothing of the file it stands in for.
std::string random_name()
{
    unsigned char bytes[8] = {};
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        // Without the system's randomness the names still differ between tries and programs.
        static std::atomic<unsigned> counter {0};
        const unsigned long long mixed = (static_cast<unsigned long long>(::getpid()) << 32) ^ ++counter;
        for (std::size_t i = 0; i < sizeof bytes; ++i)
            bytes[i] = static_cast<unsigned char>(mixed >> (8 * i));
    }
    char name[32];
    std::snprintf(name, sizeof name, ".tmp-%02x%02x%02x%02x%02x%02x%02x%02x", bytes[0], bytes[1], bytes[2], bytes[3],
                  bytes[4], bytes[5], bytes[6], bytes[7]);
    return name;
}

// Gives the fresh file its mode (whatever the umask), its bytes, and flushes them to the disk.
int fill(int fd, const std::string& bytes)
{
    if (::fchmod(fd, file_mode) != 0)
        return errno;
    if (const int error = write_all(fd, bytes))
        return error;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Gives the unnamed file `fd` the name `name` in `folder`; EEXIST when the name is taken.
int link_unnamed(int fd, int folder, const std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    const int error = errno;
    // Without /proc the descriptor names the file itself, where the system allows that.
    if (error == ENOENT && ::linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0)
        return 0;
    return error;
}

// Puts the file of `temporary` in place of `name`, or removes it again.
int rename_into_place(int folder, const std::string& temporary, const std::string& name)
{
    if (::renameat(folder, temporary.c_str(), folder, name.c_str()) == 0)
        return 0;
    const int error = errno;
    ::unlinkat(folder, temporary.c_str(), 0);
    return error;
}

// The replacement written into an unnamed file, which is named only once it is whole: a
// crash before then leaves nothing. A new file takes its name at once; over an existing
// one it takes a hidden name of its own and is renamed into place. EOPNOTSUPP when the
// file system makes no unnamed files, or they can't be named here.
int replace_through_unnamed_file(int folder, const std::string& name, bool exists, const std::string& bytes)
{
    const owned_fd fresh(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, file_mode));
    if (!fresh)
        return errno == EISDIR || errno == EINVAL ? EOPNOTSUPP : errno;
    if (const int error = fill(fresh.get(), bytes))
        return error;
    if (!exists) {
        const int error = link_unnamed(fresh.get(), folder, name);
        if (error != EEXIST)
            return error == ENOENT || error == EPERM ? EOPNOTSUPP : error;
    }
    for (int attempt = 0; attempt < name_tries; ++attempt) {
        const std::string temporary = random_name();
        const int error = link_unnamed(fresh.get(), folder, temporary);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return error == ENOENT || error == EPERM ? EOPNOTSUPP : error;
        return rename_into_place(folder, temporary, name);
    }
    return EEXIST;
}

// The same through a hidden fresh file of its own name, for file systems without unnamed
// files; a crash while it is written leaves that file.
int replace_through_named_file(int folder, const std::string& name, const std::string& bytes)
{
    for (int attempt = 0; attempt < name_tries; ++attempt) {
        const std::string temporary = random_name();
        const int fd = ::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                file_mode);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return errno;
        int error = fill(fd, bytes);
        if (::close(fd) != 0 && error == 0)
            error = errno;
        if (error != 0) {
            ::unlinkat(folder, temporary.c_str(), 0);
            return error;
        }
        return rename_into_place(folder, temporary, name);
    }
    return EEXIST;
}

// Whether what the walk found may be replaced: 0 when it is missing or a regular file that
// the user may write, else why not.
int replaceable(const path_end& end)
{
    if (!end.exists)
        return 0;
    if (S_ISDIR(end.status.st_mode))
        return EISDIR;
    if (!S_ISREG(end.status.st_mode))
        return EINVAL;
    // A file that the user may not write is not theirs to replace, although the folder
    // would let a rename do it.
    if (::faccessat(end.folder.get(), end.name.c_str(), W_OK, AT_EACCESS) != 0)
        return errno;
    return 0;
}

} // namespace

int replace_in_folder(int folder, const std::string& name, bool exists, const std::string& bytes)
{
    const int error = replace_through_unnamed_file(folder, name, exists, bytes);
    if (error != EOPNOTSUPP)
        return error;
    return replace_through_named_file(folder, name, bytes);
}

int replace_file(const std::string& path, const std::string& bytes)
{
    path_end end;
    if (const int error = find_path_end(path, true, end))
        return error;
    if (const int error = replaceable(end))
        return error;
    return replace_in_folder(end.folder.get(), end.name, end.exists, bytes);
}

} // namespace plat
