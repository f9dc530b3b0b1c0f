#include "automation/registry.h"

#include <algorithm>
#include <stdexcept>

namespace dovrel::automation {

namespace {

std::string RootName(HKEY root) {
    if (root == HKEY_CLASSES_ROOT)
        return "HKCR";
    if (root == HKEY_CURRENT_USER)
        return "HKCU";
    if (root == HKEY_LOCAL_MACHINE)
        return "HKLM";
    return "(root)";
}

std::runtime_error Failure(const char* what, HKEY root, const std::wstring& key, LONG status) {
    std::string message = std::string(what) + " " + RootName(root) + "\\";
    for (wchar_t c : key)
        message += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    return std::runtime_error(message + " failed with error " + std::to_string(status));
}

std::optional<std::wstring> FirstSubkeyOf(HKEY key) {
    wchar_t name[256] = {};
    DWORD length = 256;
    if (RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(name, length);
}

} // namespace

std::vector<BYTE> BytesOf(const std::wstring& text, bool terminated) {
    const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(begin, begin + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
}

UniqueRegistryKey CreateKey(HKEY root, const std::wstring& key, REGSAM access) {
    HKEY raw = nullptr;
    const LONG status = RegCreateKeyExW(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        access, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS)
        throw Failure("creating", root, key, status);
    return UniqueRegistryKey(raw);
}

UniqueRegistryKey OpenKey(HKEY root, const std::wstring& key, REGSAM access) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, access, &raw) != ERROR_SUCCESS)
        return UniqueRegistryKey();
    return UniqueRegistryKey(raw);
}

bool KeyExists(HKEY root, const std::wstring& key) {
    return static_cast<bool>(OpenKey(root, key));
}

std::vector<std::wstring> ValueNamesOf(HKEY root, const std::wstring& key) {
    std::vector<std::wstring> names;
    const UniqueRegistryKey opened = OpenKey(root, key);
    for (DWORD i = 0; opened; ++i) {
        wchar_t name[16384] = {};
        DWORD length = 16384;
        if (RegEnumValueW(opened.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

std::optional<RegistryValue> ReadValue(HKEY root, const std::wstring& key, const wchar_t* name) {
    const UniqueRegistryKey opened = OpenKey(root, key);
    if (!opened)
        return std::nullopt;
    RegistryValue value;
    DWORD size = 0;
    if (RegQueryValueExW(opened.get(), name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.bytes.resize(size);
    if (RegQueryValueExW(opened.get(), name, nullptr, &value.type, value.bytes.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.bytes.resize(size);
    return value;
}

std::optional<RegistryText> ReadText(HKEY root, const std::wstring& key, const wchar_t* name) {
    const std::optional<RegistryValue> value = ReadValue(root, key, name);
    if (!value)
        return std::nullopt;
    std::wstring text(value->bytes.size() / sizeof(wchar_t), L'\0');
    std::copy_n(value->bytes.data(), text.size() * sizeof(wchar_t),
                reinterpret_cast<BYTE*>(text.data()));
    // Stored with its terminator, as a well-behaved writer leaves it.
    if (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return RegistryText{value->type, text};
}

void WriteValue(HKEY root, const std::wstring& key, const wchar_t* name,
                const RegistryValue& value) {
    const UniqueRegistryKey created = CreateKey(root, key, KEY_SET_VALUE);
    const LONG status = RegSetValueExW(created.get(), name, 0, value.type, value.bytes.data(),
                                       static_cast<DWORD>(value.bytes.size()));
    if (status != ERROR_SUCCESS)
        throw Failure("setting a value of", root, key, status);
}

void WriteText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text,
               DWORD type) {
    WriteValue(root, key, name, RegistryValue{type, BytesOf(text)});
}

void DeleteValue(HKEY root, const std::wstring& key, const wchar_t* name) {
    const UniqueRegistryKey opened = OpenKey(root, key, KEY_SET_VALUE);
    if (!opened)
        return;
    const LONG status = RegDeleteValueW(opened.get(), name);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        throw Failure("deleting a value of", root, key, status);
}

void DeleteKeyTree(HKEY root, const std::wstring& key) {
    {
        const UniqueRegistryKey opened = OpenKey(root, key, KEY_ENUMERATE_SUB_KEYS);
        if (!opened)
            return;
        while (const std::optional<std::wstring> subkey = FirstSubkeyOf(opened.get()))
            DeleteKeyTree(root, key + L"\\" + *subkey);
    }
    const LONG status = RegDeleteKeyW(root, key.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        throw Failure("deleting", root, key, status);
}

ScopedAbsentKeys::ScopedAbsentKeys(HKEY root, std::vector<std::wstring> keys)
    : root_(root), keys_(std::move(keys)) {
    for (const std::wstring& key : keys_)
        DeleteKeyTree(root_, key);
}

ScopedAbsentKeys::~ScopedAbsentKeys() {
    for (const std::wstring& key : keys_) {
        try {
            DeleteKeyTree(root_, key);
        } catch (const std::exception&) {
            // The next test's start deletes it again.
        }
    }
}

ScopedRegistryText::ScopedRegistryText(HKEY root, std::wstring key, const wchar_t* name,
                                       const std::wstring& text)
    : root_(root), key_(std::move(key)), name_(name ? name : L""),
      saved_(ReadValue(root_, key_, name_.c_str())) {
    WriteText(root_, key_, name_.c_str(), text);
}

ScopedRegistryText::~ScopedRegistryText() {
    try {
        if (saved_)
            WriteValue(root_, key_, name_.c_str(), *saved_);
        else
            DeleteValue(root_, key_, name_.c_str());
    } catch (const std::exception&) {
        // Nothing more can be done here; a test that checks what it starts
        // from will notice.
    }
}

} // namespace dovrel::automation
