#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "automation/registry.h"
#include "automation/registry_key_refusal.h"

// The registry helper bound to HKEY_CLASSES_ROOT, where every key the end-to-end
// tests arrange or read lies. Keys are paths below the root
// ("PowerPointViewer.Show.11\shell"); the values are the keys' default values.
namespace dovrel::e2e {

using automation::RegistryText;

inline std::optional<RegistryText> ReadDefaultValue(const std::wstring& key) {
    return automation::ReadText(HKEY_CLASSES_ROOT, key, nullptr);
}
inline bool KeyExists(const std::wstring& key) {
    return automation::KeyExists(HKEY_CLASSES_ROOT, key);
}
inline std::vector<std::wstring> ValueNamesOf(const std::wstring& key) {
    return automation::ValueNamesOf(HKEY_CLASSES_ROOT, key);
}
inline void WriteDefaultValue(const std::wstring& key, const std::wstring& text) {
    automation::WriteText(HKEY_CLASSES_ROOT, key, nullptr, text);
}

struct ScopedAbsentKeys : automation::ScopedAbsentKeys {
    explicit ScopedAbsentKeys(std::vector<std::wstring> keys)
        : automation::ScopedAbsentKeys(HKEY_CLASSES_ROOT, std::move(keys)) {}
};
struct ScopedDefaultValue : automation::ScopedRegistryText {
    ScopedDefaultValue(std::wstring key, const std::wstring& text)
        : automation::ScopedRegistryText(HKEY_CLASSES_ROOT, std::move(key), nullptr, text) {}
};
struct ScopedWriteRefusal : automation::ScopedKeyRefusal {
    explicit ScopedWriteRefusal(std::wstring key)
        : automation::ScopedKeyRefusal(HKEY_CLASSES_ROOT, std::move(key), KEY_SET_VALUE) {}
};

} // namespace dovrel::e2e
