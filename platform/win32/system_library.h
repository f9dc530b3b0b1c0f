#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace dovrel {

// A system DLL loaded when it is first needed rather than with the program:
// behind some DLLs the system loads whole chains of others, which every start
// would pay for even when the function is never called. Unloaded when this
// object goes.
class SystemLibrary {
public:
    // Raises PlatformError naming the DLL when it cannot be loaded.
    explicit SystemLibrary(const wchar_t* fileName);

    // The DLL's function of that name, as `Function` (a pointer to the
    // function's type). Raises PlatformError naming both when it is missing.
    template <typename Function> Function Find(const char* functionName) const {
        // By way of void (*)(), which compilers take as the neutral function
        // pointer type and do not warn about.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(FindAddress(functionName)));
    }

private:
    FARPROC FindAddress(const char* functionName) const;

    struct Unloader {
        void operator()(HMODULE module) const { FreeLibrary(module); }
    };
    std::wstring fileName_;
    std::unique_ptr<std::remove_pointer_t<HMODULE>, Unloader> module_;
};

} // namespace dovrel
