#pragma once
// Replacing a file whole: the new bytes go into a fresh file in the same folder, which is
// flushed to the disk and takes the old one's place only once it is whole. A failure or a
// crash leaves the old file or the new one, never an emptied or torn file. The fresh file
// has no name while it is written (where the file system allows it), so that a crash
// leaves nothing behind that holds the new bytes, which may be a password.
#include <string>

namespace plat {

// Writes `bytes` as the file `name` of `folder` (a descriptor; O_PATH will do), mode 0600:
// made when `exists` is false, else put in place of what is there by rename. 0 on success;
// otherwise the error of the step that failed, and the folder holds what it held.
int replace_in_folder(int folder, const std::string& name, bool exists, const std::string& bytes);

// Makes the file that `path` names hold `bytes` and nothing else (mode 0600): a file that
// is missing is made, a regular file is replaced. A symbolic link is followed to the file
// it leads to, and that file is made or replaced, so the link keeps pointing where it
// pointed; a link that the system's link protection refuses is not followed, whatever the
// machine's setting (EACCES; plat_follow_links.h). Refused before anything is made, with
// the file untouched: a file the user may not write (EACCES), a folder (EISDIR) or anything
// else that is no regular file (EINVAL), links that lead only to links (ELOOP). Gives 0 or
// the error code.
int replace_file(const std::string& path, const std::string& bytes);

} // namespace plat
