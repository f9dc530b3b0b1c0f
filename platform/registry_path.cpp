#include "platform/registry_path.h"

namespace dovrel {

namespace {

constexpr wchar_t kClassesRoot[] = L"HKCR\\";
constexpr std::size_t kClassesRootLength = sizeof kClassesRoot / sizeof kClassesRoot[0] - 1;

bool HasEmptyComponent(const std::wstring& keyPath) {
    return keyPath.front() == L'\\' || keyPath.back() == L'\\' ||
           keyPath.find(L"\\\\") != std::wstring::npos;
}

} // namespace

std::optional<RegistryValuePath> ParseRegistryValuePath(const std::wstring& text) {
    if (text.compare(0, kClassesRootLength, kClassesRoot) != 0)
        return std::nullopt;
    const std::size_t nameStart = text.rfind(L'\\') + 1;
    if (nameStart <= kClassesRootLength + 1)
        return std::nullopt; // no key between the root and the value name
    std::wstring key = text.substr(kClassesRootLength, nameStart - 1 - kClassesRootLength);
    if (HasEmptyComponent(key))
        return std::nullopt;
    return RegistryValuePath{std::move(key), text.substr(nameStart)};
}

} // namespace dovrel
