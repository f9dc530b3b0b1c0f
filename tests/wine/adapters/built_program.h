#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/unique_handles.h"

namespace dovrel::testing {

// The icon resource of the built program.
inline constexpr int kIconId = 1;

// The built program beside this test's folder: <build>/tests/wine/x.exe ->
// <build>/Dovrel.exe.
inline std::wstring BuiltProgramPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    for (int level = 0; level < 3; ++level)
        path = path.substr(0, path.find_last_of(L'\\'));
    return path + L"\\Dovrel.exe";
}

inline UniqueModule LoadBuiltProgram() {
    return UniqueModule(
        LoadLibraryExW(BuiltProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

} // namespace dovrel::testing
