#pragma once

#include <windows.h>

#include "platform/platform_objects.h"

namespace dovrel {

// The Win32 service objects; the file dialog is owned by the given window.
class Win32PlatformObjects : public IPlatformObjects {
public:
    explicit Win32PlatformObjects(HWND dialogOwner) : dialogOwner_(dialogOwner) {}

    std::unique_ptr<IShell> CreateShell() override;
    std::unique_ptr<IFileSystem> CreateFileSystem() override;
    std::unique_ptr<IFileDialog> CreateFileDialog() override;

private:
    HWND dialogOwner_;
};

} // namespace dovrel
