#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// HKEY_CLASSES_ROOT as the tests arrange it and read it back. Keys are paths
// below the root ("PowerPointViewer.Show.11\shell").
namespace dovrel::e2e {

struct RegistryText {
    DWORD type = REG_NONE;
    std::wstring text;
};

// The key's default value; nothing when the key or the value is missing.
std::optional<RegistryText> ReadDefaultValue(const std::wstring& key);
bool KeyExists(const std::wstring& key);
// Names of the key's values, "" for the default value.
std::vector<std::wstring> ValueNamesOf(const std::wstring& key);

// Creates the key as needed and sets its default value (REG_SZ). Throws on failure.
void WriteDefaultValue(const std::wstring& key, const std::wstring& text);
// Removes the key with everything below it; a missing key is fine. Throws on failure.
void DeleteKeyTree(const std::wstring& key);

// Keys that must not exist while it lives: deleted at the start and again at the end.
class ScopedAbsentKeys {
public:
    explicit ScopedAbsentKeys(std::vector<std::wstring> keys);
    ~ScopedAbsentKeys();
    ScopedAbsentKeys(const ScopedAbsentKeys&) = delete;
    ScopedAbsentKeys& operator=(const ScopedAbsentKeys&) = delete;

private:
    std::vector<std::wstring> keys_;
};

// Gives a key's default value for a while and puts back what it held (or
// removes the value when there was none).
class ScopedDefaultValue {
public:
    ScopedDefaultValue(std::wstring key, const std::wstring& text);
    ~ScopedDefaultValue();
    ScopedDefaultValue(const ScopedDefaultValue&) = delete;
    ScopedDefaultValue& operator=(const ScopedDefaultValue&) = delete;

private:
    std::wstring key_;
    std::optional<RegistryText> saved_;
};

// A key whose values nobody may set: created with an access list that denies
// everyone KEY_SET_VALUE (the registry enforces it for administrators too).
// Lift() or the end of the object deletes the key again.
class ScopedWriteRefusal {
public:
    explicit ScopedWriteRefusal(std::wstring key);
    ~ScopedWriteRefusal();
    ScopedWriteRefusal(const ScopedWriteRefusal&) = delete;
    ScopedWriteRefusal& operator=(const ScopedWriteRefusal&) = delete;

    void Lift();

private:
    std::wstring key_;
    bool lifted_ = false;
};

} // namespace dovrel::e2e
