#include "plat_registry.h"

#include "plat_path.h"
#include "plat_settings_file.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <strings.h>
#include <vector>

namespace plat {

struct reg_key_object {
    // The key's path below the current user's root, one entry per component.
    std::vector<std::string> components;
    REGSAM access = 0;
    // The key's file, fixed when the key is opened: the close stores into the file that
    // the values were read from, whatever the environment says by then.
    settings_file file {std::string(), std::string()};
    // The values as the key's file held them when the key was opened, with this handle's
    // own writes applied: what its queries read.
    reg_file_contents values;
    // This handle's writes in order, stored together when it is closed.
    std::vector<reg_value> writes;
};

namespace {

reg_key_object current_user_root;

// The handles given out and not yet closed; a call with any other handle is refused
// instead of touching freed memory. The mutex also guards the open keys' values, so that
// threads may share a handle.
std::mutex handles_mutex;
std::set<HKEY> open_handles;

bool is_root(HKEY key) { return key == &current_user_root; }

// Whether a handle may carry values and has the rights `needed`; the caller holds
// handles_mutex.
LONG usable_key(HKEY key, REGSAM needed)
{
    if (is_root(key))
        return ERROR_ACCESS_DENIED;
    if (open_handles.count(key) == 0)
        return ERROR_INVALID_HANDLE;
    if ((key->access & needed) != needed)
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

std::string key_name(const std::vector<std::string>& components)
{
    std::string name = "HKEY_CURRENT_USER";
    for (const std::string& part : components)
        name += "\\" + part;
    return name;
}

// The file of a key: its components as folders below the configuration folder, the last
// one with ".reg"; the leading "Software" is dropped, since that folder holds software's
// settings already.
LONG key_file(const reg_key_object& key, settings_file& file)
{
    std::string path;
    if (!config_folder(path))
        return ERROR_FILE_NOT_FOUND;
    std::size_t first = 0;
    if (key.components.size() > 1 && strcasecmp(key.components[0].c_str(), "Software") == 0)
        first = 1;
    for (std::size_t i = first; i < key.components.size(); ++i)
        path += "/" + key.components[i];
    file = settings_file(path + ".reg", key_name(key.components));
    return ERROR_SUCCESS;
}

// Splits a path of components joined by "\"; an empty component, "." or "..", or one
// holding "/" or a control character has no place in a folder path and is refused.
bool split_key_path(const char* path, std::vector<std::string>& components)
{
    if (path == nullptr || *path == '\0')
        return false;
    std::string part;
    for (const char* p = path;; ++p) {
        if (*p == '\\' || *p == '\0') {
            if (part.empty() || part == "." || part == "..")
                return false;
            components.push_back(part);
            part.clear();
            if (*p == '\0')
                return true;
        } else if (*p == '/' || static_cast<unsigned char>(*p) < 0x20) {
            return false;
        } else {
            part += *p;
        }
    }
}

} // namespace

const HKEY HKEY_CURRENT_USER = &current_user_root;

LONG RegCreateKeyExA(HKEY parent, const char* sub_key, DWORD reserved, char* /*class_name*/, DWORD options,
                     REGSAM access, const SECURITY_ATTRIBUTES* /*security*/, HKEY* result,
                     DWORD* disposition)
{
    if (result == nullptr || reserved != 0 || options != REG_OPTION_NON_VOLATILE)
        return ERROR_INVALID_PARAMETER;
    reg_key_object key;
    if (!is_root(parent)) {
        const std::lock_guard<std::mutex> guard(handles_mutex);
        if (open_handles.count(parent) == 0)
            return ERROR_INVALID_HANDLE;
        key.components = parent->components;
    }
    if (!split_key_path(sub_key, key.components))
        return ERROR_INVALID_PARAMETER;
    key.access = access;

    if (const LONG error = key_file(key, key.file))
        return error;
    bool created = false;
    if (const int error = key.file.open(key.values, created, (access & KEY_SET_VALUE) != 0))
        return error;

    HKEY handle = new reg_key_object(std::move(key));
    {
        const std::lock_guard<std::mutex> guard(handles_mutex);
        open_handles.insert(handle);
    }
    *result = handle;
    if (disposition != nullptr)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, unsigned char* data,
                      DWORD* size)
{
    if (reserved != nullptr || (data != nullptr && size == nullptr))
        return ERROR_INVALID_PARAMETER;
    const std::lock_guard<std::mutex> guard(handles_mutex);
    if (const LONG error = usable_key(key, KEY_QUERY_VALUE))
        return error;
    const reg_value* value = key->values.find(name == nullptr ? std::string() : std::string(name));
    if (value == nullptr)
        return ERROR_FILE_NOT_FOUND;

    if (type != nullptr)
        *type = value->type;
    const auto needed = static_cast<DWORD>(value->data.size());
    if (size == nullptr)
        return ERROR_SUCCESS;
    if (data != nullptr) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, value->data.data(), needed);
    }
    *size = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const unsigned char* data,
                    DWORD size)
{
    if (reserved != 0 || (data == nullptr && size != 0))
        return ERROR_INVALID_PARAMETER;
    reg_value value;
    value.name = name == nullptr ? std::string() : std::string(name);
    value.type = type;
    if (size != 0)
        value.data.assign(reinterpret_cast<const char*>(data), size);
    const std::lock_guard<std::mutex> guard(handles_mutex);
    if (const LONG error = usable_key(key, KEY_SET_VALUE))
        return error;
    // Refused now rather than failing the whole pass at the close.
    if (!key->file.can_ever_hold(value))
        return ERROR_FILE_TOO_LARGE;
    key->values.set(value);
    key->writes.push_back(std::move(value));
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    if (is_root(key))
        return ERROR_SUCCESS;
    {
        const std::lock_guard<std::mutex> guard(handles_mutex);
        if (open_handles.erase(key) == 0)
            return ERROR_INVALID_HANDLE;
    }
    const std::unique_ptr<reg_key_object> closed(key);
    if (closed->writes.empty())
        return ERROR_SUCCESS;
    // One store for all of the handle's writes, over what the file holds now: what other
    // programs stored since the key was opened stays, unless this handle wrote it too.
    return closed->file.update([&closed](reg_file_contents& contents) {
        for (const reg_value& value : closed->writes)
            contents.set(value);
    });
}

} // namespace plat
