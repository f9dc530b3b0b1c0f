#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "automation/unique_handle.h"

// The registry as the tests arrange it and read it back. Keys are paths below
// a root (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, ...); a value name of nullptr
// or "" is the key's default value. What writes or deletes throws on failure.
namespace dovrel::automation {

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

struct RegistryText {
    DWORD type = REG_NONE;
    std::wstring text;
};

// A text as the registry stores it: UTF-16, with its terminator unless told not.
std::vector<BYTE> BytesOf(const std::wstring& text, bool terminated = true);

// Empty when the key cannot be opened with that access.
UniqueRegistryKey OpenKey(HKEY root, const std::wstring& key, REGSAM access = KEY_QUERY_VALUE);
bool KeyExists(HKEY root, const std::wstring& key);
// Names of the key's values, "" for the default value.
std::vector<std::wstring> ValueNamesOf(HKEY root, const std::wstring& key);

// Nothing when the key or the value is missing.
std::optional<RegistryValue> ReadValue(HKEY root, const std::wstring& key, const wchar_t* name);
// The value's bytes as text of any type, one terminator dropped.
std::optional<RegistryText> ReadText(HKEY root, const std::wstring& key, const wchar_t* name);

// Opens the key, creating it (and the keys above) as needed.
UniqueRegistryKey CreateKey(HKEY root, const std::wstring& key, REGSAM access);
// Create the key as needed.
void WriteValue(HKEY root, const std::wstring& key, const wchar_t* name,
                const RegistryValue& value);
void WriteText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text,
               DWORD type = REG_SZ);

// A missing key or value is fine.
void DeleteValue(HKEY root, const std::wstring& key, const wchar_t* name);
// Removes the key with everything below it.
void DeleteKeyTree(HKEY root, const std::wstring& key);

// Keys that must not exist while it lives: deleted at the start and again at the end.
class ScopedAbsentKeys {
public:
    ScopedAbsentKeys(HKEY root, std::vector<std::wstring> keys);
    ~ScopedAbsentKeys();
    ScopedAbsentKeys(const ScopedAbsentKeys&) = delete;
    ScopedAbsentKeys& operator=(const ScopedAbsentKeys&) = delete;

private:
    HKEY root_;
    std::vector<std::wstring> keys_;
};

// Gives a value a text (REG_SZ) for a while and puts back what it held, or
// removes it when there was none.
class ScopedRegistryText {
public:
    ScopedRegistryText(HKEY root, std::wstring key, const wchar_t* name, const std::wstring& text);
    ~ScopedRegistryText();
    ScopedRegistryText(const ScopedRegistryText&) = delete;
    ScopedRegistryText& operator=(const ScopedRegistryText&) = delete;

private:
    HKEY root_;
    std::wstring key_;
    std::wstring name_;
    std::optional<RegistryValue> saved_;
};

} // namespace dovrel::automation
