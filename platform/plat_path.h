#pragma once
// Path services of the C runtime and the shell, on POSIX paths: '/' is the only
// separator (a backslash is an ordinary character of a name) and there are no drives.
// Each function reports failure by its result and leaves the reason in the thread's
// last system error (plat::last_error()).
#include <cstddef>
#include <string>

namespace plat {

// The size of every path buffer of the system: a path has at most max_path - 1 characters.
inline constexpr std::size_t max_path = 260;

// The folder separator.
inline constexpr char separator = '/';

// The full path of `name`: a relative name is taken relative to the current directory,
// '.' and '..' are folded and repeated separators collapse, all lexically (symbolic
// links are not resolved and the name need not exist). A trailing separator stays.
// False when the current directory cannot be read, or (last error ENAMETOOLONG) when
// the full path would not fit in `capacity` bytes with its terminator.
bool full_path(const std::string& name, std::string& result, std::size_t capacity = max_path);

// The parts of a path. `drive` is always empty here; `dir` runs up to and including
// the last separator; of the rest, `ext` runs from its last '.' and `name` lies before it.
void split_path(const std::string& path, std::string& drive, std::string& dir, std::string& name,
                std::string& ext);

// Joins the parts: a ':' after a bare drive letter, a separator after a directory
// that lacks one, a '.' before an extension that lacks one. False (last error
// ENAMETOOLONG) when the result would not fit in `capacity` bytes with its terminator.
bool make_path(const std::string& drive, const std::string& dir, const std::string& name, const std::string& ext,
               std::string& result, std::size_t capacity = max_path);

// The current directory, when it fits in `capacity` bytes with its terminator.
bool get_cwd(std::string& result, std::size_t capacity = max_path);

// Enters the folder `dir`.
bool change_dir(const std::string& dir);

// The running program's full file name; empty when the system gives none.
std::string module_file_name();

// True when `name` is a regular file that can be opened now for reading, or for
// reading and writing when `write` is set. Never blocks on a FIFO.
bool open_probe(const std::string& name, bool write);

// The shell's special folders by their identifiers.
inline constexpr int csidl_personal = 5;       // the user's documents folder
inline constexpr int csidl_local_appdata = 28; // the user's local application data
inline constexpr int csidl_profile = 40;       // the user's home folder

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// $HOME/.config, else the home folder from the user database with "/.config"; as given,
// not folded. False when no home folder is known.
bool config_folder(std::string& folder);

// The path of a special folder, without trailing separator. Returns 0 on success, a
// failure code otherwise (and then the last error tells why, `path` stays untouched).
int special_folder(int csidl, std::string& path);

} // namespace plat
