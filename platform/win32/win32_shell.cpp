#include "platform/win32/win32_shell.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/platform_error.h"
#include "platform/registry_path.h"
#include "platform/win32/system_text.h"
#include "platform/win32/unique_handles.h"

namespace dovrel {

namespace {

constexpr wchar_t kMalformedPath[] = L"The registry value path is not valid.";

RegistryValuePath ParseOrRaise(const std::wstring& operation, const std::wstring& valuePath) {
    std::optional<RegistryValuePath> parsed = ParseRegistryValuePath(valuePath);
    if (!parsed)
        throw PlatformError(operation, kMalformedPath);
    return *parsed;
}

void RaiseUnlessDone(const std::wstring& operation, LONG status) {
    if (status == ERROR_SUCCESS)
        return;
    const std::wstring reason = SystemErrorText(static_cast<DWORD>(status));
    // The registry answers a missing key and a missing value alike.
    if (status == ERROR_FILE_NOT_FOUND)
        throw NotFoundError(operation, reason);
    throw PlatformError(operation, reason);
}

// The key that holds the value, opened for `access`.
void OpenOrRaise(const std::wstring& operation, const RegistryValuePath& path, REGSAM access,
                 UniqueRegistryKey& key) {
    RaiseUnlessDone(operation,
                    RegOpenKeyExW(HKEY_CLASSES_ROOT, path.key.c_str(), 0, access, key.put()));
}

const wchar_t* ValueNameOrDefault(const RegistryValuePath& path) {
    return path.valueName.empty() ? nullptr : path.valueName.c_str();
}

// String data as stored: possibly without its terminator, possibly of odd length.
std::wstring TextFromRegistryData(const std::vector<BYTE>& data, DWORD size) {
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (!text.empty())
        std::memcpy(&text[0], data.data(), text.size() * sizeof(wchar_t));
    const std::size_t end = text.find(L'\0');
    if (end != std::wstring::npos)
        text.resize(end);
    return text;
}

} // namespace

std::wstring Win32Shell::ExpandEnvironmentStrings(const std::wstring& text) {
    const std::optional<std::wstring> expanded = ExpandEnvironmentReferences(text);
    if (!expanded)
        throw PlatformError(L"ExpandEnvironmentStrings " + text, SystemErrorText(GetLastError()));
    return *expanded;
}

Variant Win32Shell::RegRead(const std::wstring& valuePath) {
    const std::wstring operation = L"RegRead " + valuePath;
    const RegistryValuePath path = ParseOrRaise(operation, valuePath);

    UniqueRegistryKey key;
    OpenOrRaise(operation, path, KEY_QUERY_VALUE, key);

    LONG status = ERROR_SUCCESS;
    DWORD type = 0;
    DWORD size = 0;
    std::vector<BYTE> data;
    do {
        // Room for a missing terminator, and the size again if the value grew meanwhile.
        data.resize(size + sizeof(wchar_t));
        size = static_cast<DWORD>(data.size());
        status = RegQueryValueExW(key.get(), ValueNameOrDefault(path), nullptr, &type, data.data(),
                                  &size);
    } while (status == ERROR_MORE_DATA);
    RaiseUnlessDone(operation, status);

    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return TextFromRegistryData(data, size);
    case REG_DWORD:
        if (size >= sizeof(DWORD)) {
            DWORD number = 0;
            std::memcpy(&number, data.data(), sizeof number);
            return static_cast<std::int32_t>(number);
        }
        return Variant();
    default:
        return Variant();
    }
}

Variant Win32Shell::RegWrite(const std::wstring& valuePath, const std::wstring& data,
                             const std::wstring& type) {
    const std::wstring operation = L"RegWrite " + valuePath;
    if (type != L"REG_SZ")
        throw PlatformError(operation, L"Only string values (REG_SZ) can be written.");
    const RegistryValuePath path = ParseOrRaise(operation, valuePath);

    UniqueRegistryKey key;
    RaiseUnlessDone(operation, RegCreateKeyExW(HKEY_CLASSES_ROOT, path.key.c_str(), 0, nullptr,
                                               REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                                               key.put(), nullptr));
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    RaiseUnlessDone(operation, RegSetValueExW(key.get(), ValueNameOrDefault(path), 0, REG_SZ,
                                              reinterpret_cast<const BYTE*>(data.c_str()), bytes));
    return Variant();
}

void Win32Shell::RemoveValue(const std::wstring& valuePath) {
    const std::wstring operation = L"RemoveValue " + valuePath;
    const RegistryValuePath path = ParseOrRaise(operation, valuePath);

    UniqueRegistryKey key;
    OpenOrRaise(operation, path, KEY_SET_VALUE, key);
    RaiseUnlessDone(operation, RegDeleteValueW(key.get(), ValueNameOrDefault(path)));
}

void Win32Shell::NotifyAssociationsChanged() {
    if (!shell32_)
        shell32_.emplace(L"shell32");
    const auto changeNotify = shell32_->Find<decltype(&::SHChangeNotify)>("SHChangeNotify");
    changeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

} // namespace dovrel
