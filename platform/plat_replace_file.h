#pragma once
// Replacing a file whole: the new bytes go into a fresh file beside it, which is flushed to
// the disk and renamed over the old one only once it is whole. A failure or a crash leaves
// the old file or the new one, never an emptied or torn file.
#include <string>

namespace plat {

// Writes `bytes` into `fd`, the new and empty file named `fresh`, flushes it to the disk,
// closes `fd` and renames `fresh` over `target`. 0 on success; otherwise the error of the
// step that failed, `fresh` is removed and `target` stays as it was.
int complete_replacement(int fd, const std::string& fresh, const std::string& target, const std::string& bytes);

// Makes the file that `path` names hold `bytes` and nothing else (mode 0600): a file that
// is missing is made, a regular file is replaced. A symbolic link is followed to the file
// it leads to, and that file is made or replaced, so the link keeps pointing where it
// pointed. The fresh file has a name of its own beside that file. Refused before anything
// is made, with the file untouched: a file the user may not write (EACCES), a folder
// (EISDIR) or anything else that is no regular file (EINVAL), links that lead only to
// links (ELOOP). Gives 0 or the error code.
int replace_file(const std::string& path, const std::string& bytes);

} // namespace plat
