#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace dovrel::automation {

// A child control as another process sees it.
struct ControlInfo {
    HWND hwnd = nullptr;
    std::wstring className;
    std::wstring caption; // WM_GETTEXT
    DWORD style = 0;
    bool enabled = false;
    bool visible = false;
    std::optional<int> checked; // BM_GETCHECK; buttons only
    RECT rect{};                // in the parent's client coordinates
};

// Child ids in the system's standard dialog boxes.
inline constexpr int kMessageBoxText = 0xFFFF;
inline constexpr int kMessageBoxIcon = 0x440;
inline constexpr int kFileNameBox = 0x47C; // the file-open dialog's name box

std::wstring ClassNameOf(HWND window);
std::wstring TextOf(HWND window); // WM_GETTEXT, with a timeout

// Top-level windows of a process, visible or not.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);

// The process's first visible top-level window that `matches`; nullptr when none is.
template <typename Match> HWND VisibleWindowOf(DWORD processId, Match&& matches) {
    for (HWND window : TopLevelWindowsOf(processId))
        if (IsWindowVisible(window) && matches(window))
            return window;
    return nullptr;
}

// The system's standard dialog boxes, told apart by those children.
bool IsMessageBoxWindow(HWND window);
bool IsFileDialogWindow(HWND window);

// The process's visible top-level window with this title that is neither a
// message box nor a file dialog; nullptr when there is none (yet).
HWND FindMainWindow(DWORD processId, const std::wstring& title);

ControlInfo DescribeControl(HWND control);
// Direct children only, in the system's order (z-order).
std::vector<ControlInfo> ChildControls(HWND parent);

// The control that has the keyboard focus in the window's thread.
HWND FocusedWindowOf(HWND window);
SIZE ClientSizeOf(HWND window);
// Logical pixels per inch of the screen, as programs of this session see it.
int ScreenDpi();

} // namespace dovrel::automation
