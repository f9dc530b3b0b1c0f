#include "automation/wine_paths.h"

#include <windows.h>

#include <cwchar>
#include <stdexcept>
#include <vector>

namespace dovrel::automation {

namespace {

std::wstring RequiredEnvironmentPath(const wchar_t* name) {
    const std::wstring value = EnvironmentValue(name);
    if (value.empty()) {
        std::string ansi(name, name + std::wcslen(name));
        throw std::runtime_error("environment variable " + ansi + " is not set");
    }
    return WindowsPathOf(value);
}

} // namespace

std::wstring EnvironmentValue(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::vector<wchar_t> buffer(size);
    const DWORD length = GetEnvironmentVariableW(name, buffer.data(), size);
    return std::wstring(buffer.data(), length < size ? length : 0);
}

std::wstring WindowsPathOf(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':')
        return path;
    std::wstring windowsPath = L"Z:" + path;
    for (wchar_t& c : windowsPath) {
        if (c == L'/')
            c = L'\\';
    }
    return windowsPath;
}

std::wstring DovrelExePath() {
    return RequiredEnvironmentPath(L"DOVREL_EXE");
}

std::wstring FixturesFolder() {
    std::wstring folder = RequiredEnvironmentPath(L"DOVREL_FIXTURES");
    if (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

std::wstring FixturePath(const std::wstring& relativePath) {
    std::wstring path = FixturesFolder() + L'\\';
    for (wchar_t c : relativePath)
        path += c == L'/' ? L'\\' : c;
    return path;
}

} // namespace dovrel::automation
