#include "ui/win32/tool_tip.h"

#include <commctrl.h>

#include "platform/win32/unique_handles.h"

namespace dovrel {

HWND AddToolTip(HWND owner, HWND tool, const wchar_t* text) {
    UniqueWindow tip(CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)), nullptr));
    if (!tip)
        return nullptr;

    // Without a manifest XP loads common controls 5.8, which refuses the
    // larger structure that newer headers describe.
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text);
    if (!SendMessageW(tip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)))
        return nullptr;
    return tip.release(); // owned windows go with their owner
}

} // namespace dovrel
