#pragma once
// The per-user settings registry: keys hold named, typed values that outlive the program.
//
// Each key below the current user's root is one text file below the user's configuration
// folder ($XDG_CONFIG_HOME, else $HOME/.config): the key path's components are folders,
// the last one names the file, a leading "Software" component is dropped. So the key
// "Software\Corvane\Lumetra" lives in ~/.config/Corvane/Lumetra.reg. README.md
// ("Settings") describes the file's format.
//
// Results are error codes as the registry calls give them: 0 on success, else the
// platform's error code (an errno value, as plat::last_error gives it) or more_data.
#include <cerrno>
#include <cstdint>

namespace plat {

using LONG = std::int32_t;
using DWORD = std::uint32_t;
using REGSAM = std::uint32_t;

struct reg_key_object;
// An open key, or one of the predefined roots.
using HKEY = reg_key_object*;

// The root of the current user's keys. It holds subkeys only, no values.
extern const HKEY HKEY_CURRENT_USER;

// Accepted for the calls' shape; this store has no access control lists.
struct SECURITY_ATTRIBUTES;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = ENOENT;
inline constexpr LONG ERROR_ACCESS_DENIED = EACCES;
inline constexpr LONG ERROR_INVALID_HANDLE = EBADF;
inline constexpr LONG ERROR_INVALID_PARAMETER = EINVAL;
// The value (or, at the close, all the values together) would make the key's file bigger
// than a settings file may be.
inline constexpr LONG ERROR_FILE_TOO_LARGE = EFBIG;
// The caller's buffer is too small for the value; the size it needs is reported.
// Outside the range of errno values, so it means only this.
inline constexpr LONG ERROR_MORE_DATA = 234;

// Value types. Any other number is a valid type too and is kept as given.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

// Access rights: reading values needs KEY_QUERY_VALUE, writing them KEY_SET_VALUE.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Only non-volatile keys exist here; any other option is refused.
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;

inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Opens the key `sub_key` below `parent` (a root or an open key), creating it when it is
// missing, and hands back a new handle in `result`. `disposition`, when not null, tells
// whether the key was created or existed. The class name and security attributes are
// ignored. The key's file is found and read once, here: the handle's queries read the
// values as they were now, with the handle's own writes applied, and its close stores into
// this file. With KEY_SET_VALUE an existing file is made private to its owner (mode 0600),
// since it may hold a password.
LONG RegCreateKeyExA(HKEY parent, const char* sub_key, DWORD reserved, char* class_name, DWORD options,
                     REGSAM access, const SECURITY_ATTRIBUTES* security, HKEY* result, DWORD* disposition);

// Reads the value `name` (null or "" is the key's default value). With `data` null, only its
// size is reported in *size. With a buffer of *size bytes that is too small, the result is
// ERROR_MORE_DATA, the buffer is untouched and *size becomes the size needed. A missing value
// gives ERROR_FILE_NOT_FOUND and leaves *type and *size unchanged.
LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, unsigned char* data,
                      DWORD* size);

// Sets `size` bytes of `data` as the value `name` of type `type`, replacing any value of
// that name. The value is kept in the handle until RegCloseKey stores it. A value that no
// key's file could hold, even alone, is refused with ERROR_FILE_TOO_LARGE and changes
// nothing.
LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const unsigned char* data,
                    DWORD size);

// Releases a handle and stores the values set through it, all in one store: under a lock
// that serialises stores from several processes, the key's file as it is now gets these
// values and is replaced as a whole, so a crash leaves the old or the new settings. The
// result is the store's; the handle is released also when the store fails. A store that
// cannot take the lock within 10 seconds fails, and so does one whose values together
// make the file too big (ERROR_FILE_TOO_LARGE). Closing a predefined root succeeds and
// does nothing.
LONG RegCloseKey(HKEY key);

} // namespace plat
