#include "plat_follow_links.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace plat {

owned_fd& owned_fd::operator=(owned_fd&& other) noexcept
{
    if (this != &other) {
        if (fd >= 0)
            ::close(fd);
        fd = other.release();
    }
    return *this;
}

owned_fd::~owned_fd()
{
    if (fd >= 0)
        ::close(fd);
}

int owned_fd::release()
{
    const int kept = fd;
    fd = -1;
    return kept;
}

namespace {

// As many links as the system itself follows in one look-up.
constexpr int most_links = 40;
constexpr mode_t folder_mode = 0700;

// The system's rule: a link is followed when its owner is the one who follows it, when its
// folder is not both sticky and writable by everyone, or when the folder's owner owns it.
bool protection_refuses(const struct stat& folder, const struct stat& link)
{
    if (link.st_uid == ::geteuid())
        return false;
    if ((folder.st_mode & (S_ISVTX | S_IWOTH)) != (S_ISVTX | S_IWOTH))
        return false;
    return folder.st_uid != link.st_uid;
}

owned_fd open_entry(int folder, const char* name)
{
    return owned_fd(::openat(folder, name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
}

owned_fd open_folder(int folder, const char* name)
{
    return owned_fd(::openat(folder, name, O_PATH | O_DIRECTORY | O_CLOEXEC));
}

// The text of the link `link` (status `status`) in `folder`, when the protection lets it be
// followed. A link's text never changes, so reading it through its descriptor reads the
// link whose owner was judged.
int read_link(int folder, const owned_fd& link, const struct stat& status, std::string& text)
{
    struct stat folder_status {};
    if (::fstat(folder, &folder_status) != 0)
        return errno;
    if (protection_refuses(folder_status, status))
        return EACCES;
    // The system's own links (in /proc) report no size of their text.
    std::vector<char> buffer(static_cast<std::size_t>(std::max<off_t>(status.st_size, PATH_MAX)) + 1);
    const ssize_t length = ::readlinkat(link.get(), "", buffer.data(), buffer.size());
    if (length < 0)
        return errno;
    if (static_cast<std::size_t>(length) >= buffer.size())
        return ENAMETOOLONG;
    text.assign(buffer.data(), static_cast<std::size_t>(length));
    return text.empty() ? ENOENT : 0;
}

// The walk: `rest` holds what is still to be looked up, from the folder `at`.
int walk(const std::string& path, bool follow_last, path_end& end, bool make_folders)
{
    owned_fd at = open_folder(AT_FDCWD, path.front() == '/' ? "/" : ".");
    if (!at)
        return errno;
    std::string rest = path;
    int links = 0;
    for (;;) {
        const std::size_t start = rest.find_first_not_of('/');
        if (start == std::string::npos)
            return EISDIR;
        const std::size_t stop = rest.find('/', start);
        const std::string name = rest.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
        rest.erase(0, stop == std::string::npos ? rest.size() : stop);
        // A component followed by "/" alone must be a folder, so the path names one.
        const bool last = rest.empty();
        if (name == "." || name == "..") {
            if (name == "..") {
                at = open_folder(at.get(), "..");
                if (!at)
                    return errno;
            }
            if (last)
                return EISDIR;
            continue;
        }
        owned_fd entry = open_entry(at.get(), name.c_str());
        if (!entry && errno == ENOENT && last) {
            end.folder = std::move(at);
            end.name = name;
            end.exists = false;
            return 0;
        }
        if (!entry && errno == ENOENT && make_folders) {
            if (::mkdirat(at.get(), name.c_str(), folder_mode) != 0 && errno != EEXIST)
                return errno;
            entry = open_entry(at.get(), name.c_str());
        }
        if (!entry)
            return errno;
        struct stat status {};
        if (::fstat(entry.get(), &status) != 0)
            return errno;
        if (S_ISLNK(status.st_mode) && (!last || follow_last)) {
            if (++links > most_links)
                return ELOOP;
            std::string text;
            if (const int error = read_link(at.get(), entry, status, text))
                return error;
            if (text.front() == '/') {
                at = open_folder(AT_FDCWD, "/");
                if (!at)
                    return errno;
            }
            rest.insert(0, text);
            continue;
        }
        if (last) {
            end.folder = std::move(at);
            end.name = name;
            end.exists = true;
            end.status = status;
            return 0;
        }
        if (!S_ISDIR(status.st_mode))
            return ENOTDIR;
        // A folder's O_PATH descriptor serves as the folder of the next look-up.
        at = std::move(entry);
    }
}

// The system's own look-up of `path` must come to the end that the walk found.
int system_agrees(const std::string& path, bool follow_last, const path_end& end)
{
    const owned_fd found(::open(path.c_str(), O_PATH | O_CLOEXEC | (follow_last ? 0 : O_NOFOLLOW)));
    if (!found) {
        const int error = errno;
        if (error != ENOENT)
            return error;
        return end.exists ? EAGAIN : 0;
    }
    struct stat status {};
    if (::fstat(found.get(), &status) != 0)
        return errno;
    if (!end.exists || status.st_dev != end.status.st_dev || status.st_ino != end.status.st_ino)
        return EAGAIN;
    return 0;
}

} // namespace

int find_path_end(const std::string& path, bool follow_last, path_end& end, bool make_folders)
{
    if (path.empty())
        return ENOENT;
    path_end found;
    if (const int error = walk(path, follow_last, found, make_folders))
        return error;
    if (const int error = system_agrees(path, follow_last, found))
        return error;
    end = std::move(found);
    return 0;
}

} // namespace plat
