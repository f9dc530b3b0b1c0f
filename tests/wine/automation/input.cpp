#include "automation/input.h"

#include <cwctype>

namespace dovrel::automation {

namespace {

constexpr LPARAM kAltDown = 0x20000000; // context code: Alt held
constexpr LPARAM kKeyUp = static_cast<LPARAM>(0xC0000001u);

// A mouse event at a screen point; the point travels with the event, so it
// cannot be overtaken by an earlier position.
INPUT MouseAt(POINT point, DWORD flags) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, width > 1 ? width - 1 : 1);
    input.mi.dy = MulDiv(point.y, 65535, height > 1 ? height - 1 : 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

INPUT Key(WORD virtualKey, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    return input;
}

} // namespace

void PostButtonClick(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

void PostStaticClick(HWND staticControl) {
    const int id = GetDlgCtrlID(staticControl);
    PostMessageW(GetAncestor(staticControl, GA_PARENT), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(id), STN_CLICKED),
                 reinterpret_cast<LPARAM>(staticControl));
}

void PostAccessKey(HWND control, wchar_t letter) {
    PostMessageW(control, WM_SYSCHAR, static_cast<WPARAM>(letter), kAltDown);
}

void PostKey(HWND control, UINT virtualKey) {
    PostMessageW(control, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(control, WM_KEYUP, virtualKey, kKeyUp);
}

void PostClose(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
}

bool ClickWithMouse(HWND control) {
    RECT box{};
    if (!GetWindowRect(control, &box))
        return false;
    const POINT centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    INPUT click[] = {MouseAt(centre, 0), MouseAt(centre, MOUSEEVENTF_LEFTDOWN),
                     MouseAt(centre, MOUSEEVENTF_LEFTUP)};
    return SendInput(3, click, sizeof(INPUT)) == 3;
}

bool MovePointerOnto(HWND control) {
    RECT box{};
    if (!GetWindowRect(control, &box))
        return false;
    INPUT move = MouseAt({(box.left + box.right) / 2, (box.top + box.bottom) / 2}, 0);
    return SendInput(1, &move, sizeof(INPUT)) == 1;
}

bool TypeAccessKey(wchar_t letter) {
    const WORD key = static_cast<WORD>(std::towupper(letter)); // letter keys: their capital
    INPUT keys[] = {Key(VK_MENU, false), Key(key, false), Key(key, true), Key(VK_MENU, true)};
    return SendInput(4, keys, sizeof(INPUT)) == 4;
}

} // namespace dovrel::automation
