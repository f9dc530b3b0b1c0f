#pragma once

#include <optional>
#include <string>

namespace dovrel {

// A registry value named the way the shell's scripting object names it:
// "HKCR\key\path\name", where a trailing backslash means the key's default
// value. HKEY_CLASSES_ROOT is the one root: the program reads and writes
// nothing elsewhere.
struct RegistryValuePath {
    std::wstring key;       // "key\path" below HKEY_CLASSES_ROOT, never empty
    std::wstring valueName; // empty: the default value
};

// Empty when the text names no such value: another root, no key, or an empty
// component inside the key path.
std::optional<RegistryValuePath> ParseRegistryValuePath(const std::wstring& text);

} // namespace dovrel
