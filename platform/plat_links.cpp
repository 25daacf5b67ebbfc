#include "plat_links.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

// As many links as the system itself follows in one look-up.
constexpr int most_links = 40;

} // namespace

std::string folder_part(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

int follow_links(std::string& path)
{
    for (int hop = 0; hop <= most_links; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(status.st_mode))
            return 0;
        std::vector<char> target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : PATH_MAX) + 1);
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            return errno;
        // A link that grew since it was looked at: the next round reads it again.
        if (static_cast<std::size_t>(length) >= target.size())
            continue;
        const std::string next(target.data(), static_cast<std::size_t>(length));
        path = next.empty() || next[0] == '/' ? next : folder_part(path) + next;
    }
    return ELOOP;
}

} // namespace plat
