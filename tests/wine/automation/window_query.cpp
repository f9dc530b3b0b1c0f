#include "automation/window_query.h"

#include "automation/unique_handle.h"

namespace dovrel::automation {

namespace {

constexpr UINT kSendTimeoutMs = 5000;

// Win32 calls these back: nothing may throw out of them.
bool TryAppend(std::vector<HWND>& windows, HWND window) noexcept {
    try {
        windows.push_back(window);
        return true;
    } catch (...) {
        return false;
    }
}

struct WindowsOfProcess {
    DWORD processId;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowsOfProcess*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId)
        return TRUE;
    return TryAppend(*search->windows, window) ? TRUE : FALSE;
}

struct DirectChildren {
    HWND parent;
    std::vector<HWND>* children;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DirectChildren*>(context);
    if (GetAncestor(window, GA_PARENT) != search->parent)
        return TRUE;
    return TryAppend(*search->children, window) ? TRUE : FALSE;
}

bool IsButtonClass(const std::wstring& className) {
    return lstrcmpiW(className.c_str(), L"Button") == 0;
}

} // namespace

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        return {};
    text.resize(copied < text.size() ? copied : 0);
    return text;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    std::vector<HWND> windows;
    WindowsOfProcess search{processId, &windows};
    EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return windows;
}

bool IsMessageBoxWindow(HWND window) {
    return ClassNameOf(window) == L"#32770" && GetDlgItem(window, kMessageBoxText) &&
           !GetDlgItem(window, kFileNameBox);
}

bool IsFileDialogWindow(HWND window) {
    return ClassNameOf(window) == L"#32770" && GetDlgItem(window, kFileNameBox);
}

HWND FindMainWindow(DWORD processId, const std::wstring& title) {
    return VisibleWindowOf(processId, [&](HWND window) {
        return !IsMessageBoxWindow(window) && !IsFileDialogWindow(window) &&
               TextOf(window) == title;
    });
}

ControlInfo DescribeControl(HWND control) {
    ControlInfo info;
    info.hwnd = control;
    info.className = ClassNameOf(control);
    info.caption = TextOf(control);
    info.style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    info.enabled = IsWindowEnabled(control) != FALSE;
    info.visible = IsWindowVisible(control) != FALSE;
    if (IsButtonClass(info.className)) {
        DWORD_PTR state = 0;
        if (SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                &state))
            info.checked = static_cast<int>(state);
    }
    GetWindowRect(control, &info.rect);
    MapWindowPoints(HWND_DESKTOP, GetAncestor(control, GA_PARENT),
                    reinterpret_cast<POINT*>(&info.rect), 2);
    return info;
}

std::vector<ControlInfo> ChildControls(HWND parent) {
    std::vector<HWND> children;
    DirectChildren search{parent, &children};
    EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&search));
    std::vector<ControlInfo> controls;
    for (HWND child : children)
        controls.push_back(DescribeControl(child));
    return controls;
}

HWND FocusedWindowOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

SIZE ClientSizeOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

int ScreenDpi() {
    const ScreenDc screen;
    return GetDeviceCaps(screen.get(), LOGPIXELSX);
}

} // namespace dovrel::automation
