#pragma once

#include <cstdint>
#include <string>

namespace dovrel {

// A file-open dialog configured through properties, then shown.
class IFileDialog {
public:
    virtual ~IFileDialog() = default;
    virtual void SetInitialDir(const std::wstring& directory) = 0;
    // "Description|pattern[|Description|pattern...]".
    virtual void SetFilter(const std::wstring& filter) = 0;
    virtual void SetFlags(std::int16_t flags) = 0;
    // 0 when the user cancelled, anything else when a file was chosen.
    // Raises PlatformError when the dialog itself fails.
    virtual std::int16_t ShowOpen() = 0;
    virtual std::wstring FileName() const = 0;
};

} // namespace dovrel
