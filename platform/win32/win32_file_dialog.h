#pragma once

#include <windows.h>

#include <optional>

#include "platform/file_dialog.h"
#include "platform/win32/ole_session.h"
#include "platform/win32/system_library.h"

namespace dovrel {

// The system's file-open dialog, owned by the given window. Its DLL, and OLE,
// are loaded when the dialog is first shown: loaded with the program they
// would cost every start several megabytes.
class Win32FileDialog : public IFileDialog {
public:
    // Far beyond MAX_PATH, so a chosen path is never cut short.
    static constexpr DWORD kFileNameCapacity = 32768;

    explicit Win32FileDialog(HWND owner) : owner_(owner) {}

    // Environment references in the directory are expanded when the dialog opens.
    void SetInitialDir(const std::wstring& directory) override { initialDir_ = directory; }
    void SetFilter(const std::wstring& filter) override { filter_ = filter; }
    void SetFlags(std::int16_t flags) override { flags_ = flags; }
    // 0 when the user cancelled, 1 when a file was chosen. A dialog that fails
    // raises PlatformError.
    std::int16_t ShowOpen() override;
    std::wstring FileName() const override { return fileName_; }

private:
    HWND owner_;
    std::wstring initialDir_;
    std::wstring filter_;
    std::int16_t flags_ = 0;
    std::wstring fileName_;
    std::optional<OleSession> ole_;
    std::optional<SystemLibrary> library_;
};

// "Description|pattern|..." in the system's form: each part ended by a NUL,
// the whole ended by one more.
std::wstring DialogFilterFromBars(const std::wstring& filter);

} // namespace dovrel
