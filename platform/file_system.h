#pragma once

#include <string>

namespace dovrel {

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // True only for an existing file (a folder does not count).
    virtual bool FileExists(const std::wstring& path) = 0;
    // "major.minor.build.revision" of the file's version record; empty when the
    // file has none or cannot be read.
    virtual std::wstring GetFileVersion(const std::wstring& path) = 0;
    // The short (8.3) form of an existing path: the path itself where the
    // volume keeps no short names; empty when the system gives none.
    virtual std::wstring GetShortPath(const std::wstring& path) = 0;
};

} // namespace dovrel
