#include "platform/win32/win32_platform_objects.h"

#include "platform/win32/win32_file_dialog.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"

namespace dovrel {

std::unique_ptr<IShell> Win32PlatformObjects::CreateShell() {
    return std::make_unique<Win32Shell>();
}

std::unique_ptr<IFileSystem> Win32PlatformObjects::CreateFileSystem() {
    return std::make_unique<Win32FileSystem>();
}

std::unique_ptr<IFileDialog> Win32PlatformObjects::CreateFileDialog() {
    return std::make_unique<Win32FileDialog>(dialogOwner_);
}

} // namespace dovrel
