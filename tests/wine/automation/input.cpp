#include "automation/input.h"

namespace dovrel::automation {

namespace {

constexpr LPARAM kAltDown = 0x20000000; // context code: Alt held
constexpr LPARAM kKeyUp = static_cast<LPARAM>(0xC0000001u);

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

void PostMouseClick(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    const LPARAM centre =
        MAKELPARAM((client.right - client.left) / 2, (client.bottom - client.top) / 2);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageW(control, WM_LBUTTONUP, 0, centre);
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

} // namespace dovrel::automation
