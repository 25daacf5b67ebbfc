#pragma once
// One open registry key with the few calls the settings need, and the serializer that
// moves named settings between a key and program variables in either direction.
#include "plat_registry.h"

#include <string>

// Owns one open key handle; it is closed exactly once (close, destructor, or create
// replacing it). Every result is the registry's error code, 0 on success. The key reads
// its file once, when it is opened; the values set meanwhile are stored together when it
// is closed, so the close's result is that of the store. A failed store is logged, however
// the key was closed.
class tk_reg_key {
public:
    tk_reg_key() = default;
    ~tk_reg_key();
    tk_reg_key(const tk_reg_key&) = delete;
    tk_reg_key& operator=(const tk_reg_key&) = delete;

    plat::LONG close();

    // Opens `path` below `root`, creating it when it is missing. On failure an open key
    // stays open and unchanged; on success it is closed (its store failing only the log)
    // and replaced, and the result is 0.
    plat::LONG create(plat::HKEY root, const char* path, char* class_name, plat::DWORD options,
                      plat::REGSAM access, const plat::SECURITY_ATTRIBUTES* security,
                      plat::DWORD* disposition);

    // Reads up to 4 bytes of the value into the number, as little-endian bytes; the
    // value's type is not checked, and bytes the value lacks keep their old contents.
    plat::LONG get_value(plat::DWORD* number, const char* name);

    // Reads the value's bytes into `buffer` (or, with a null buffer, only its size);
    // *size is the buffer's size on entry and the value's size on return.
    plat::LONG get_value(char* buffer, const char* name, plat::DWORD* size);

    plat::LONG set_ulong(plat::DWORD number, const char* name);

    // Writes the text and its terminating zero as REG_SZ.
    plat::LONG set_string(const char* text, const char* name);

    bool is_open() const { return key != nullptr; }

private:
    plat::HKEY key = nullptr;
};

// Binds a key path below the current user's root to named values; one routine can load
// or store all of its settings by passing the direction. The user opens `key` with
// tk_reg_key::create on `key_path` and closes it after one pass.
class tk_serializer {
public:
    explicit tk_serializer(const char* path);
    tk_serializer(const tk_serializer&) = delete;
    tk_serializer& operator=(const tk_serializer&) = delete;

    // Each returns true when the value was transferred; a failed load leaves the
    // variable unchanged. `store` true writes the variable, false reads it.
    bool serialize_bool(const char* name, bool& variable, bool store);
    bool serialize_string(const char* name, std::string& variable, bool store);

    tk_reg_key key;
    std::string key_path;
};
