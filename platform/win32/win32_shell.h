#pragma once

#include <windows.h>

#include <optional>

#include "platform/shell.h"
#include "platform/win32/system_library.h"

// Included after the system headers, so that the name is freed again (see
// platform/shell.h); the implementation calls the W function by its name.
#undef ExpandEnvironmentStrings

namespace dovrel {

// Environment and registry through the wide Win32 calls.
class Win32Shell : public IShell {
public:
    std::wstring ExpandEnvironmentStrings(const std::wstring& text) override;
    // Text values come back as text, DWORDs as numbers, anything else as empty.
    Variant RegRead(const std::wstring& valuePath) override;
    Variant RegWrite(const std::wstring& valuePath, const std::wstring& data,
                     const std::wstring& type) override;
    void RemoveValue(const std::wstring& valuePath) override;
    void NotifyAssociationsChanged() override;

private:
    // The shell's DLL, loaded only once a change is announced.
    std::optional<SystemLibrary> shell32_;
};

} // namespace dovrel
