#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <vector>

#include "platform/decimal_text.h"
#include "platform/win32/system_text.h"

namespace dovrel {

namespace {

constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;

std::wstring DottedVersion(const VS_FIXEDFILEINFO& info) {
    return DecimalText(HIWORD(info.dwFileVersionMS)) + L"." +
           DecimalText(LOWORD(info.dwFileVersionMS)) + L"." +
           DecimalText(HIWORD(info.dwFileVersionLS)) + L"." +
           DecimalText(LOWORD(info.dwFileVersionLS));
}

} // namespace

bool Win32FileSystem::FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring Win32FileSystem::GetFileVersion(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return std::wstring(); // no such file, or no version record in it
    std::vector<BYTE> record(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, record.data()))
        return std::wstring();

    void* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(record.data(), L"\\", &fixed, &fixedSize) || !fixed ||
        fixedSize < sizeof(VS_FIXEDFILEINFO))
        return std::wstring();
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    if (info->dwSignature != kFixedInfoSignature)
        return std::wstring();
    return DottedVersion(*info);
}

std::wstring Win32FileSystem::GetShortPath(const std::wstring& path) {
    return TextFromSystem([&](wchar_t* buffer, DWORD capacity) {
               return GetShortPathNameW(path.c_str(), buffer, capacity);
           })
        .value_or(std::wstring());
}

} // namespace dovrel
