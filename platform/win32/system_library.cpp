#include "platform/win32/system_library.h"

#include <vector>

#include "platform/platform_error.h"
#include "platform/win32/system_text.h"

namespace dovrel {

namespace {

constexpr wchar_t kCommonControls[] = L"comctl32";

} // namespace

SystemLibrary::SystemLibrary(const wchar_t* name) {
    if (std::wstring(name) != kCommonControls)
        shellDlls_ = PreloadDlls(DllStage::Shell);
    path_ = SystemDllPath(name);
    module_ = LoadSystemDll(path_, WhenAbsent::Raise);
}

FARPROC SystemLibrary::FindAddress(const char* functionName) const {
    const FARPROC address = GetProcAddress(module_.get(), functionName);
    if (!address)
        throw PlatformError(L"Finding " + AnsiToWide(functionName) + L" in " + path_,
                            SystemErrorText(GetLastError()));
    return address;
}

} // namespace dovrel
