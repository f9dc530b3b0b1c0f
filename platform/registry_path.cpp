#include "platform/registry_path.h"

#include <array>

namespace dovrel {

namespace {

struct RootName {
    const wchar_t* name;
    RegistryRoot root;
};

constexpr std::array<RootName, 10> kRootNames{{
    {L"HKCR", RegistryRoot::ClassesRoot},
    {L"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
    {L"HKCU", RegistryRoot::CurrentUser},
    {L"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
    {L"HKLM", RegistryRoot::LocalMachine},
    {L"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
    {L"HKU", RegistryRoot::Users},
    {L"HKEY_USERS", RegistryRoot::Users},
    {L"HKCC", RegistryRoot::CurrentConfig},
    {L"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
}};

// Root names are plain ASCII; the system compares them without regard to case.
wchar_t AsciiUpper(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

std::optional<RegistryRoot> FindRoot(const std::wstring& name) {
    for (const RootName& candidate : kRootNames) {
        const std::wstring known = candidate.name;
        if (known.size() != name.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = AsciiUpper(name[i]) == known[i];
        if (same)
            return candidate.root;
    }
    return std::nullopt;
}

bool HasEmptyComponent(const std::wstring& keyPath) {
    return keyPath.front() == L'\\' || keyPath.back() == L'\\' ||
           keyPath.find(L"\\\\") != std::wstring::npos;
}

} // namespace

std::optional<RegistryValuePath> ParseRegistryValuePath(const std::wstring& text) {
    const std::size_t rootEnd = text.find(L'\\');
    if (rootEnd == std::wstring::npos)
        return std::nullopt;
    const std::optional<RegistryRoot> root = FindRoot(text.substr(0, rootEnd));
    if (!root)
        return std::nullopt;

    const std::size_t nameStart = text.rfind(L'\\') + 1;
    if (nameStart <= rootEnd + 1)
        return std::nullopt; // no key between the root and the value name
    std::wstring key = text.substr(rootEnd + 1, nameStart - 1 - (rootEnd + 1));
    if (key.empty() || HasEmptyComponent(key))
        return std::nullopt;

    RegistryValuePath path;
    path.root = *root;
    path.key = std::move(key);
    path.valueName = text.substr(nameStart);
    return path;
}

} // namespace dovrel
