#include "tk_reg_key.h"

#include "plat_error.h"
#include "tk_exception.h"
#include "tk_log.h"

#include <cstring>
#include <vector>

namespace {

constexpr const char* source = "tk_regk";

// A failed store loses the values set since the key was opened; whoever closed the key
// (the destructor, create replacing it) may not look at the result, so it is logged here.
void log_failed_store(plat::LONG error)
{
    std::string reason;
    if (!plat::error_text(error, reason))
        reason = "unknown error";
    tk_log(3, "tk_reg_key::close: the values were not stored (%d: %s)", static_cast<int>(error), reason.c_str());
}

} // namespace

tk_reg_key::~tk_reg_key() { close(); }

plat::LONG tk_reg_key::close()
{
    if (key == nullptr)
        return plat::ERROR_SUCCESS;
    const plat::LONG result = plat::RegCloseKey(key);
    key = nullptr;
    if (result != plat::ERROR_SUCCESS)
        log_failed_store(result);
    return result;
}

plat::LONG tk_reg_key::create(plat::HKEY root, const char* path, char* class_name, plat::DWORD options,
                              plat::REGSAM access, const plat::SECURITY_ATTRIBUTES* security,
                              plat::DWORD* disposition)
{
    if (root == nullptr)
        throw tk_mail_assertion(source, 64);
    plat::HKEY opened = nullptr;
    const plat::LONG result =
        plat::RegCreateKeyExA(root, path, 0, class_name, options, access, security, &opened, disposition);
    if (result != plat::ERROR_SUCCESS)
        return result;
    // The old key's store is not this call's: a failure there is logged by close, and the
    // result tells only whether the new key is open.
    close();
    key = opened;
    return plat::ERROR_SUCCESS;
}

plat::LONG tk_reg_key::get_value(plat::DWORD* number, const char* name)
{
    if (name == nullptr)
        throw tk_mail_assertion(source, 98);
    tk_log(2, "tk_reg_key::get_value(ulong, %s)", name);
    // The number's bytes in the registry's little-endian order, whatever the host's.
    unsigned char bytes[4] = {};
    if (number != nullptr)
        for (int i = 0; i < 4; ++i)
            bytes[i] = static_cast<unsigned char>(*number >> (8 * i));
    plat::DWORD type = 0;
    plat::DWORD size = sizeof bytes;
    const plat::LONG result =
        plat::RegQueryValueExA(key, name, nullptr, &type, number != nullptr ? bytes : nullptr, &size);
    tk_log(1, "type=%d, size=%d", static_cast<int>(type), static_cast<int>(size));
    if (number != nullptr && result == plat::ERROR_SUCCESS)
        *number = static_cast<plat::DWORD>(bytes[0]) | static_cast<plat::DWORD>(bytes[1]) << 8
                  | static_cast<plat::DWORD>(bytes[2]) << 16 | static_cast<plat::DWORD>(bytes[3]) << 24;
    return result;
}

plat::LONG tk_reg_key::get_value(char* buffer, const char* name, plat::DWORD* size)
{
    if (size == nullptr)
        throw tk_mail_assertion(source, 115);
    if (name == nullptr)
        throw tk_mail_assertion(source, 116);
    tk_log(2, "tk_reg_key::get_value(LPSTR, %s)", name);
    plat::DWORD type = 0;
    const plat::LONG result =
        plat::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<unsigned char*>(buffer), size);
    tk_log(1, "type=%d, size=%d", static_cast<int>(type), static_cast<int>(*size));
    return result;
}

plat::LONG tk_reg_key::set_ulong(plat::DWORD number, const char* name)
{
    if (key == nullptr)
        throw tk_mail_assertion(source, 149);
    const unsigned char bytes[4] = {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
                                    static_cast<unsigned char>(number >> 16),
                                    static_cast<unsigned char>(number >> 24)};
    return plat::RegSetValueExA(key, name, 0, plat::REG_DWORD, bytes, sizeof bytes);
}

plat::LONG tk_reg_key::set_string(const char* text, const char* name)
{
    if (text == nullptr)
        throw tk_mail_assertion(source, 156);
    if (key == nullptr)
        throw tk_mail_assertion(source, 157);
    return plat::RegSetValueExA(key, name, 0, plat::REG_SZ, reinterpret_cast<const unsigned char*>(text),
                                static_cast<plat::DWORD>(std::strlen(text) + 1));
}

tk_serializer::tk_serializer(const char* path) : key_path(path) {}

bool tk_serializer::serialize_bool(const char* name, bool& variable, bool store)
{
    if (!key.is_open())
        return false;
    if (store)
        return key.set_ulong(variable ? 1 : 0, name) == plat::ERROR_SUCCESS;
    plat::DWORD number = 0;
    if (key.get_value(&number, name) != plat::ERROR_SUCCESS)
        return false;
    variable = number != 0;
    return true;
}

bool tk_serializer::serialize_string(const char* name, std::string& variable, bool store)
{
    if (!key.is_open())
        return false;
    if (store)
        return key.set_string(variable.c_str(), name) == plat::ERROR_SUCCESS;
    plat::DWORD size = 0;
    if (key.get_value(nullptr, name, &size) != plat::ERROR_SUCCESS || size == 0)
        return false;
    std::vector<char> buffer(size);
    if (key.get_value(buffer.data(), name, &size) != plat::ERROR_SUCCESS)
        return false;
    variable.assign(buffer.data(), strnlen(buffer.data(), size));
    return true;
}
