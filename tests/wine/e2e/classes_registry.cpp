#include "classes_registry.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "automation/unique_handle.h"

namespace dovrel::e2e {

namespace {

using automation::UniqueRegistryKey;

std::runtime_error RegistryFailure(const char* what, const std::wstring& key, LONG status) {
    std::string message = std::string(what) + " HKCR\\";
    for (wchar_t c : key) // key names here are plain ASCII
        message += static_cast<char>(c);
    return std::runtime_error(message + " failed with error " + std::to_string(status));
}

UniqueRegistryKey OpenKey(const std::wstring& key, REGSAM access) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, access, &raw) != ERROR_SUCCESS)
        return UniqueRegistryKey();
    return UniqueRegistryKey(raw);
}

UniqueRegistryKey CreateKey(const std::wstring& key, REGSAM access) {
    HKEY raw = nullptr;
    const LONG status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, access, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS)
        throw RegistryFailure("creating", key, status);
    return UniqueRegistryKey(raw);
}

std::optional<std::wstring> FirstSubkeyOf(HKEY key) {
    wchar_t name[256] = {};
    DWORD length = 256;
    if (RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(name, length);
}

struct SidFreer {
    void operator()(PSID sid) const { FreeSid(sid); }
};
using UniqueSid = std::unique_ptr<std::remove_pointer_t<PSID>, SidFreer>;

UniqueSid Everyone() {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID sid = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &sid))
        throw std::runtime_error("could not make the Everyone SID");
    return UniqueSid(sid);
}

} // namespace

std::optional<RegistryText> ReadDefaultValue(const std::wstring& key) {
    const UniqueRegistryKey opened = OpenKey(key, KEY_QUERY_VALUE);
    if (!opened)
        return std::nullopt;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(opened.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(opened.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                         &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size / sizeof(wchar_t));
    // Stored with its terminator, as a well-behaved writer leaves it.
    if (!data.empty() && data.back() == L'\0')
        data.pop_back();
    return RegistryText{type, data};
}

bool KeyExists(const std::wstring& key) {
    return static_cast<bool>(OpenKey(key, KEY_QUERY_VALUE));
}

std::vector<std::wstring> ValueNamesOf(const std::wstring& key) {
    std::vector<std::wstring> names;
    const UniqueRegistryKey opened = OpenKey(key, KEY_QUERY_VALUE);
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

void WriteDefaultValue(const std::wstring& key, const std::wstring& text) {
    const UniqueRegistryKey created = CreateKey(key, KEY_SET_VALUE);
    const LONG status = RegSetValueExW(created.get(), nullptr, 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS)
        throw RegistryFailure("setting the default value of", key, status);
}

void DeleteKeyTree(const std::wstring& key) {
    {
        const UniqueRegistryKey opened = OpenKey(key, KEY_ENUMERATE_SUB_KEYS);
        if (!opened)
            return;
        while (const std::optional<std::wstring> subkey = FirstSubkeyOf(opened.get()))
            DeleteKeyTree(key + L"\\" + *subkey);
    }
    const LONG status = RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        throw RegistryFailure("deleting", key, status);
}

ScopedAbsentKeys::ScopedAbsentKeys(std::vector<std::wstring> keys) : keys_(std::move(keys)) {
    for (const std::wstring& key : keys_)
        DeleteKeyTree(key);
}

ScopedAbsentKeys::~ScopedAbsentKeys() {
    for (const std::wstring& key : keys_) {
        try {
            DeleteKeyTree(key);
        } catch (const std::exception&) {
            // The next test's start deletes it again.
        }
    }
}

ScopedDefaultValue::ScopedDefaultValue(std::wstring key, const std::wstring& text)
    : key_(std::move(key)), saved_(ReadDefaultValue(key_)) {
    WriteDefaultValue(key_, text);
}

ScopedDefaultValue::~ScopedDefaultValue() {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key_.c_str(), 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS)
        return;
    const UniqueRegistryKey key(raw);
    if (!saved_) {
        RegDeleteValueW(key.get(), nullptr);
        return;
    }
    const std::wstring& text = saved_->text;
    RegSetValueExW(key.get(), nullptr, 0, saved_->type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

ScopedWriteRefusal::ScopedWriteRefusal(std::wstring key) : key_(std::move(key)) {
    DeleteKeyTree(key_);
    const UniqueRegistryKey created = CreateKey(key_, KEY_ALL_ACCESS);

    const UniqueSid everyone = Everyone();
    alignas(DWORD) BYTE aclBuffer[256] = {};
    auto* acl = reinterpret_cast<PACL>(aclBuffer);
    SECURITY_DESCRIPTOR descriptor{};
    // Denials come first in an access list; everything else stays allowed, so
    // the key can be read and deleted.
    if (!InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION) ||
        !AddAccessDeniedAce(acl, ACL_REVISION, KEY_SET_VALUE, everyone.get()) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone.get()) ||
        !InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE))
        throw std::runtime_error("could not build the refusing access list");
    const LONG status = RegSetKeySecurity(created.get(), DACL_SECURITY_INFORMATION, &descriptor);
    if (status != ERROR_SUCCESS)
        throw RegistryFailure("restricting", key_, status);

    if (OpenKey(key_, KEY_SET_VALUE)) {
        DeleteKeyTree(key_);
        throw std::runtime_error(
            "the registry lets this program set values despite the access list");
    }
}

ScopedWriteRefusal::~ScopedWriteRefusal() {
    try {
        Lift();
    } catch (const std::exception&) {
        // The next test's start deletes it again.
    }
}

void ScopedWriteRefusal::Lift() {
    if (lifted_)
        return;
    DeleteKeyTree(key_);
    lifted_ = true;
}

} // namespace dovrel::e2e
