#include "gate/os_version.h"

#include <cstdint>

namespace dovrel {

std::wstring sServicePack;

namespace {

constexpr std::uint32_t kPlatformWin32Windows = 1;
constexpr std::uint32_t kPlatformWin32Nt = 2;
constexpr wchar_t kWindowsXp[] = L"Windows XP";

std::wstring NameWindows9x(std::uint32_t minor) {
    switch (minor) {
    case 0:
        return L"Windows 95";
    case 10:
        return L"Windows 98";
    case 90:
        return L"Windows Millennium";
    default:
        return std::wstring();
    }
}

std::wstring NameWindowsNt(std::uint32_t major, std::uint32_t minor) {
    switch (major) {
    case 3:
        return L"Windows NT 3.51";
    case 4:
        return L"Windows NT 4.0";
    case 5:
        if (minor == 0)
            return L"Windows 2000";
        if (minor == 1)
            return kWindowsXp;
        return std::wstring();
    case 6:
        return L"Windows Vista";
    default:
        return std::wstring();
    }
}

} // namespace

std::wstring GetOSVersion(IVersionRecordSource& source) {
    VersionRecord record;
    record.osVersionInfoSize = kVersionRecordSize;
    record.csdVersion.assign(kServicePackFieldLength, L' ');
    source.QueryVersion(record);

    std::wstring name;
    switch (record.platformId) {
    case kPlatformWin32Windows:
        name = NameWindows9x(record.minorVersion);
        break;
    case kPlatformWin32Nt:
        name = NameWindowsNt(record.majorVersion, record.minorVersion);
        break;
    default:
        return L"Failed";
    }
    if (name == kWindowsXp)
        sServicePack = record.csdVersion;
    return name;
}

} // namespace dovrel
