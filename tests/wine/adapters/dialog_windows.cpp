#include "dialog_windows.h"

namespace dovrel::testing {

namespace {

struct DialogSearch {
    int childId;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        ClassOf(window) == L"#32770" && GetDlgItem(window, search->childId)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

HWND VisibleDialogOfThisProcess(int childId) {
    DialogSearch search{childId, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace dovrel::testing
