#pragma once

#include "platform/file_system.h"

namespace dovrel {

// File existence and version records through the wide Win32 calls.
class Win32FileSystem : public IFileSystem {
public:
    bool FileExists(const std::wstring& path) override;
    std::wstring GetFileVersion(const std::wstring& path) override;
    std::wstring GetShortPath(const std::wstring& path) override;
};

} // namespace dovrel
