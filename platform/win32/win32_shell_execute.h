#pragma once

#include "platform/shell_execute.h"

namespace dovrel {

// The shell's own ShellExecuteA, owned by the desktop window.
class Win32ShellExecute : public IShellExecute {
public:
    WindowHandle GetDesktopWindow() override;
    std::intptr_t ShellExecuteA(WindowHandle owner, const std::wstring& operation,
                                const std::wstring& file, const std::wstring& parameters,
                                const std::wstring& directory, std::int32_t showCommand) override;
};

} // namespace dovrel
