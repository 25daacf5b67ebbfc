#pragma once
// Finding what a path leads to, following its symbolic links as the system does, except
// that a link which the system's link protection refuses is never followed, whatever the
// machine's setting of that protection (fs.protected_symlinks): a link that lies in a
// folder everyone may write and that has the sticky bit (as /tmp), and that is owned
// neither by the user nor by the folder's owner. Another user may plant such a link to make
// a program write, or read, a file of their choosing.
//
// The walk looks each component up once, through descriptors, so a name that is changed
// meanwhile can't lead it elsewhere. The system then resolves the same path itself, so that
// its own checks (its link protection when it is on, and any other) apply as well, and it
// must find what the walk found.
#include <string>
#include <sys/stat.h>

namespace plat {

// A file descriptor that is closed when it goes.
class owned_fd {
public:
    owned_fd() = default;
    explicit owned_fd(int fd_) : fd(fd_) {}
    owned_fd(owned_fd&& other) noexcept : fd(other.release()) {}
    owned_fd& operator=(owned_fd&& other) noexcept;
    owned_fd(const owned_fd&) = delete;
    owned_fd& operator=(const owned_fd&) = delete;
    ~owned_fd();

    int get() const { return fd; }
    explicit operator bool() const { return fd >= 0; }
    int release();

private:
    int fd = -1;
};

// Where a path ends: the folder that holds its last component, and that component.
struct path_end {
    // The folder, opened with O_PATH: the *at calls reach the component through it.
    owned_fd folder;
    std::string name;
    bool exists = false;
    // What the component is, a link not followed; meaningful when it exists.
    struct stat status {};
};

// Finds where `path` ends. Every link on the way is followed, the last component's only
// with `follow_last` (so that the end is then no link, or is missing). With `make_folders`,
// folders missing on the way are made (mode 0700) and the walk goes on into them. Gives 0,
// or: EACCES for a link that the protection refuses (and the system's own refusals),
// ENOENT or ENOTDIR for a folder on the way that is missing or no folder, ELOOP after 40
// links, EISDIR when the path names a folder (it ends in "/", "." or ".."), EAGAIN when
// the system finds another end than the walk did (the path changed meanwhile).
int find_path_end(const std::string& path, bool follow_last, path_end& end, bool make_folders = false);

} // namespace plat
