#pragma once

#include <windows.h>

#include <optional>

#include "platform/shell_execute.h"
#include "platform/win32/ole_session.h"
#include "platform/win32/system_library.h"

namespace dovrel {

// The shell's own ShellExecuteA, owned by the desktop window.
class Win32ShellExecute : public IShellExecute {
public:
    WindowHandle GetDesktopWindow() override;
    std::intptr_t ShellExecuteA(WindowHandle owner, const std::wstring& operation,
                                const std::wstring& file, const std::wstring& parameters,
                                const std::wstring& directory, std::int32_t showCommand) override;

private:
    // Loaded on the first call: the window does not need them. The handler
    // the shell picks may use COM.
    std::optional<OleSession> ole_;
    std::optional<SystemLibrary> shell32_;
};

} // namespace dovrel
