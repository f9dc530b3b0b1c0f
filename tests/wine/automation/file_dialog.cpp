#include "automation/file_dialog.h"

#include "automation/wait.h"
#include "automation/window_query.h"

namespace dovrel::automation {

namespace {

constexpr UINT kSendTimeoutMs = 5000;

// The edit field inside the file name combo box (or the box itself when it
// is a plain edit field).
HWND FileNameEdit(HWND dialog) {
    HWND box = GetDlgItem(dialog, kFileNameBox);
    if (!box)
        return nullptr;
    HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
    return edit ? edit : box;
}

} // namespace

HWND WaitForFileDialog(DWORD processId, DWORD timeoutMs) {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = VisibleWindowOf(processId, IsFileDialogWindow)) != nullptr; },
              timeoutMs);
    return dialog;
}

void ChooseFile(HWND dialog, const std::wstring& path) {
    DWORD_PTR ignored = 0;
    // WM_SETTEXT opens nothing modal, so sending it is safe.
    SendMessageTimeoutW(FileNameEdit(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                        SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void CancelFileDialog(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

} // namespace dovrel::automation
