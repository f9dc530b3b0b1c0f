#include "automation/reported_platform.h"

namespace dovrel::automation {

namespace {

constexpr wchar_t kVersionKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr wchar_t kCurrentVersion[] = L"CurrentVersion";
constexpr wchar_t kCurrentBuildNumber[] = L"CurrentBuildNumber";
constexpr wchar_t kCsdVersion[] = L"CSDVersion";

} // namespace

std::optional<std::wstring> ReportedValue(const wchar_t* valueName) {
    const std::optional<RegistryText> value = ReadText(HKEY_LOCAL_MACHINE, kVersionKey, valueName);
    if (!value || value->type != REG_SZ)
        return std::nullopt;
    return value->text;
}

void SetReportedPlatform(const ReportedPlatform& platform) {
    WriteText(HKEY_LOCAL_MACHINE, kVersionKey, kCurrentVersion, platform.currentVersion);
    WriteText(HKEY_LOCAL_MACHINE, kVersionKey, kCurrentBuildNumber, platform.currentBuildNumber);
    WriteText(HKEY_LOCAL_MACHINE, kVersionKey, kCsdVersion, platform.csdVersion);
}

ScopedReportedPlatform::ScopedReportedPlatform(const ReportedPlatform& platform)
    : version_(HKEY_LOCAL_MACHINE, kVersionKey, kCurrentVersion, platform.currentVersion),
      build_(HKEY_LOCAL_MACHINE, kVersionKey, kCurrentBuildNumber, platform.currentBuildNumber),
      csd_(HKEY_LOCAL_MACHINE, kVersionKey, kCsdVersion, platform.csdVersion) {}

} // namespace dovrel::automation
