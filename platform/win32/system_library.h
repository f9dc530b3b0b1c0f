#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

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
    struct Unloader {
        void operator()(HMODULE module) const { FreeLibrary(module); }
    };
    using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, Unloader>;

    FARPROC FindAddress(const char* functionName) const;

    // The common controls, which the system's dialog and shell DLLs import:
    // XP does not take them from the system directory by itself, so they are
    // in the process before any DLL that imports them is.
    UniqueModule commonControls_;
    std::wstring path_;
    UniqueModule module_;
};

} // namespace dovrel
