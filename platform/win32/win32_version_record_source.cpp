#include "platform/win32/win32_version_record_source.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/win32/system_text.h"

namespace dovrel {

namespace {

static_assert(sizeof(OSVERSIONINFOA) == kVersionRecordSize, "version record size");
static_assert(sizeof(OSVERSIONINFOA::szCSDVersion) == kServicePackFieldLength,
              "service-pack field length");

} // namespace

void Win32VersionRecordSource::QueryVersion(VersionRecord& record) {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = record.osVersionInfoSize;
    info.dwMajorVersion = record.majorVersion;
    info.dwMinorVersion = record.minorVersion;
    info.dwBuildNumber = record.buildNumber;
    info.dwPlatformId = record.platformId;
    const std::string fieldIn = WideToAnsi(record.csdVersion);
    std::memcpy(info.szCSDVersion, fieldIn.data(),
                std::min(fieldIn.size(), sizeof info.szCSDVersion));

    // Deprecated for newer Windows, and exactly what XP offers. A failed query
    // leaves the record as prepared.
    GetVersionExA(&info);

    record.osVersionInfoSize = info.dwOSVersionInfoSize;
    record.majorVersion = info.dwMajorVersion;
    record.minorVersion = info.dwMinorVersion;
    record.buildNumber = info.dwBuildNumber;
    record.platformId = info.dwPlatformId;
    // Multi-byte text can come back shorter than its bytes; pad as the field was.
    std::wstring fieldOut = AnsiToWide(std::string(info.szCSDVersion, sizeof info.szCSDVersion));
    fieldOut.resize(kServicePackFieldLength, L' ');
    record.csdVersion = std::move(fieldOut);
}

} // namespace dovrel
