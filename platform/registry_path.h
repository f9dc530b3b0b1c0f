#pragma once

#include <optional>
#include <string>

namespace dovrel {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

// A registry value named the way the shell's scripting object names it:
// "ROOT\key\path\name", where a trailing backslash means the key's default value.
struct RegistryValuePath {
    RegistryRoot root = RegistryRoot::ClassesRoot;
    std::wstring key;       // "key\path", never empty
    std::wstring valueName; // empty: the default value
};

// Empty when the text names no value: an unknown root, no key, or an empty
// component inside the key path.
std::optional<RegistryValuePath> ParseRegistryValuePath(const std::wstring& text);

} // namespace dovrel
