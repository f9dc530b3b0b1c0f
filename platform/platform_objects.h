#pragma once

#include <memory>

#include "platform/file_dialog.h"
#include "platform/file_system.h"
#include "platform/shell.h"

namespace dovrel {

// Creates the three service objects the window holds. Each creation may raise
// PlatformError.
class IPlatformObjects {
public:
    virtual ~IPlatformObjects() = default;
    virtual std::unique_ptr<IShell> CreateShell() = 0;
    virtual std::unique_ptr<IFileSystem> CreateFileSystem() = 0;
    virtual std::unique_ptr<IFileDialog> CreateFileDialog() = 0;
};

} // namespace dovrel
