#pragma once

#include <cstdint>
#include <string>

namespace dovrel {

using WindowHandle = std::uintptr_t;

// Hands a document or address to the system shell. Texts travel to the
// system in its ANSI code page.
class IShellExecute {
public:
    virtual ~IShellExecute() = default;
    virtual WindowHandle GetDesktopWindow() = 0;
    // The result is the system's; callers may ignore it.
    virtual std::intptr_t ShellExecuteA(WindowHandle owner, const std::wstring& operation,
                                        const std::wstring& file, const std::wstring& parameters,
                                        const std::wstring& directory, std::int32_t showCommand) = 0;
};

} // namespace dovrel
