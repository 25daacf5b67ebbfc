#pragma once
// Links as another user plants them in a folder that everyone may write and that has the
// sticky bit (as /tmp): the system's link protection refuses to follow such a link unless
// the follower or the folder's owner owns it.
//
// Only root can make a file that another user owns; each maker checks that it made its
// thing and throws when it did not.
#include "test_support.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace test_support {

// Whether this process can make files that another user owns.
inline bool can_plant_links() { return geteuid() == 0; }

// Makes `path` a folder with the mode `mode` (01777 for one like /tmp), whatever the umask.
inline void make_folder(const std::string& path, mode_t mode)
{
    std::filesystem::create_directory(path);
    set_mode(path, mode);
}

// Gives `path` itself (a link is not followed) to the unprivileged user.
inline void give_away(const std::string& path)
{
    if (lchown(path.c_str(), unprivileged_uid, unprivileged_gid) != 0)
        throw std::system_error(errno, std::generic_category(), "lchown " + path);
}

// Makes the link `link`, holding `text`, owned by the unprivileged user.
inline void plant_link(const std::string& text, const std::string& link)
{
    std::filesystem::create_symlink(text, link);
    give_away(link);
}

} // namespace test_support
