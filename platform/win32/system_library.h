#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/system_dlls.h"

namespace dovrel {

// A DLL of the system directory, loaded when it is first needed rather than
// with the program: behind some DLLs the system loads whole chains of others,
// which every start would pay for even when the function is never called.
// Unloaded when this object goes.
//
// Always by its full path: the program runs as an administrator from folders
// that hold other people's files, and a DLL asked for by bare name is looked
// for beside the program first.
class SystemLibrary {
public:
    // `name` without folder or extension ("comdlg32"). Raises PlatformError
    // naming the file when it cannot be loaded.
    explicit SystemLibrary(const wchar_t* name);

    // The DLL's function of that name, as `Function` (a pointer to the
    // function's type). Raises PlatformError naming both when it is missing.
    template <typename Function> Function Find(const char* functionName) const {
        // By way of void (*)(), which compilers take as the neutral function
        // pointer type and do not warn about.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(FindAddress(functionName)));
    }

    const std::wstring& path() const { return path_; }

private:
    FARPROC FindAddress(const char* functionName) const;

    // What the system's dialog and shell DLLs load by bare name, the common
    // controls first: in the process before any of them is.
    std::vector<UniqueModule> shellDlls_;
    std::wstring path_;
    UniqueModule module_;
};

} // namespace dovrel
