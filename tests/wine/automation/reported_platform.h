#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "automation/registry.h"

namespace dovrel::automation {

// What Wine reports as the Windows version to the processes it starts from
// now on: it reads these values of
// HKLM\Software\Microsoft\Windows NT\CurrentVersion when a process starts.
struct ReportedPlatform {
    const char* name;
    const wchar_t* currentVersion;
    const wchar_t* currentBuildNumber;
    const wchar_t* csdVersion;
};

// Test frameworks print a platform by its name.
inline void PrintTo(const ReportedPlatform& platform, std::ostream* out) {
    *out << platform.name;
}

inline constexpr ReportedPlatform kWindowsXpSp3{"Windows XP SP3", L"5.1", L"2600",
                                                L"Service Pack 3"};
inline constexpr ReportedPlatform kWindowsXpSp2{"Windows XP SP2", L"5.1", L"2600",
                                                L"Service Pack 2"};
inline constexpr ReportedPlatform kWindowsXpSp1{"Windows XP SP1", L"5.1", L"2600",
                                                L"Service Pack 1"};
inline constexpr ReportedPlatform kWindowsXpNoServicePack{"Windows XP without a service pack",
                                                          L"5.1", L"2600", L""};
inline constexpr ReportedPlatform kWindows7{"Windows 7", L"6.1", L"7601", L"Service Pack 1"};

// Makes the prefix report `platform` from now on. Throws when it cannot write.
void SetReportedPlatform(const ReportedPlatform& platform);

// Makes the prefix report `platform` while it lives; puts back the values it
// found (normally those of XP SP3) when it goes. Throws when it cannot write.
class ScopedReportedPlatform {
public:
    explicit ScopedReportedPlatform(const ReportedPlatform& platform);

private:
    // Each put back on its own, so a half-written platform does not outlive a failure.
    ScopedRegistryText version_;
    ScopedRegistryText build_;
    ScopedRegistryText csd_;
};

// What a program started now would be told (read back from the registry).
std::optional<std::wstring> ReportedValue(const wchar_t* valueName);

} // namespace dovrel::automation
