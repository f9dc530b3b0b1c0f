#include "platform/win32/win32_shell_execute.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/win32/system_text.h"

namespace dovrel {

WindowHandle Win32ShellExecute::GetDesktopWindow() {
    return reinterpret_cast<WindowHandle>(::GetDesktopWindow());
}

std::intptr_t Win32ShellExecute::ShellExecuteA(WindowHandle owner, const std::wstring& operation,
                                               const std::wstring& file,
                                               const std::wstring& parameters,
                                               const std::wstring& directory,
                                               std::int32_t showCommand) {
    const std::string ansiOperation = WideToAnsi(operation);
    const std::string ansiFile = WideToAnsi(file);
    const std::string ansiParameters = WideToAnsi(parameters);
    const std::string ansiDirectory = WideToAnsi(directory);
    if (!ole_)
        ole_.emplace();
    if (!shell32_)
        shell32_.emplace(L"shell32");
    const auto shellExecute = shell32_->Find<decltype(&::ShellExecuteA)>("ShellExecuteA");
    const HINSTANCE result =
        shellExecute(reinterpret_cast<HWND>(owner), ansiOperation.c_str(), ansiFile.c_str(),
                     ansiParameters.c_str(), ansiDirectory.c_str(), static_cast<INT>(showCommand));
    // Not a module handle: a number above 32 on success, an error code otherwise.
    return reinterpret_cast<std::intptr_t>(result);
}

} // namespace dovrel
