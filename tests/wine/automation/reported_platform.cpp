#include "automation/reported_platform.h"

#include <stdexcept>
#include <vector>

#include "automation/unique_handle.h"

namespace dovrel::automation {

namespace {

constexpr wchar_t kVersionKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr wchar_t kCurrentVersion[] = L"CurrentVersion";
constexpr wchar_t kCurrentBuildNumber[] = L"CurrentBuildNumber";
constexpr wchar_t kCsdVersion[] = L"CSDVersion";

UniqueRegistryKey OpenVersionKey(REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kVersionKey, 0, access, &key) != ERROR_SUCCESS)
        throw std::runtime_error("cannot open the Windows version key");
    return UniqueRegistryKey(key);
}

void WriteValue(HKEY key, const wchar_t* name, const std::optional<std::wstring>& value) {
    LONG result = ERROR_SUCCESS;
    if (value) {
        const DWORD bytes = static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t));
        result = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                                bytes);
    } else {
        result = RegDeleteValueW(key, name);
        if (result == ERROR_FILE_NOT_FOUND)
            result = ERROR_SUCCESS;
    }
    if (result != ERROR_SUCCESS)
        throw std::runtime_error("cannot write the Windows version values");
}

} // namespace

std::optional<std::wstring> ReportedValue(const wchar_t* valueName) {
    const UniqueRegistryKey key = OpenVersionKey(KEY_QUERY_VALUE);
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), valueName, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.get(), valueName, nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer.data());
}

void SetReportedPlatform(const ReportedPlatform& platform) {
    const UniqueRegistryKey key = OpenVersionKey(KEY_SET_VALUE);
    WriteValue(key.get(), kCurrentVersion, std::wstring(platform.currentVersion));
    WriteValue(key.get(), kCurrentBuildNumber, std::wstring(platform.currentBuildNumber));
    WriteValue(key.get(), kCsdVersion, std::wstring(platform.csdVersion));
}

ScopedReportedPlatform::ScopedReportedPlatform(const ReportedPlatform& platform)
    : savedVersion_(ReportedValue(kCurrentVersion)),
      savedBuild_(ReportedValue(kCurrentBuildNumber)), savedCsd_(ReportedValue(kCsdVersion)) {
    try {
        SetReportedPlatform(platform);
    } catch (...) {
        Restore(); // a half-written platform must not outlive the failure
        throw;
    }
}

ScopedReportedPlatform::~ScopedReportedPlatform() {
    Restore();
}

void ScopedReportedPlatform::Restore() noexcept {
    try {
        const UniqueRegistryKey key = OpenVersionKey(KEY_SET_VALUE);
        WriteValue(key.get(), kCurrentVersion, savedVersion_);
        WriteValue(key.get(), kCurrentBuildNumber, savedBuild_);
        WriteValue(key.get(), kCsdVersion, savedCsd_);
    } catch (...) {
        // Nothing more can be done here; a test that checks the platform it
        // starts from (ReportedValue) will notice.
    }
}

} // namespace dovrel::automation
