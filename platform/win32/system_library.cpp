#include "platform/win32/system_library.h"

#include "platform/platform_error.h"
#include "platform/win32/system_text.h"

namespace dovrel {

SystemLibrary::SystemLibrary(const wchar_t* fileName)
    : fileName_(fileName), module_(LoadLibraryW(fileName)) {
    if (!module_)
        throw PlatformError(L"Loading " + fileName_, SystemErrorText(GetLastError()));
}

FARPROC SystemLibrary::FindAddress(const char* functionName) const {
    const FARPROC address = GetProcAddress(module_.get(), functionName);
    if (!address)
        throw PlatformError(L"Finding " + AnsiToWide(functionName) + L" in " + fileName_,
                            SystemErrorText(GetLastError()));
    return address;
}

} // namespace dovrel
