#include "app/win32/fatal_error_box.h"

#include "ui/control_table.h"

namespace dovrel {

void ShowFatalErrorBox(HWND owner, const std::wstring& prompt) {
    if (owner && !IsWindow(owner))
        owner = nullptr;
    UINT style = MB_OK | MB_ICONERROR | MB_SETFOREGROUND;
    if (!owner)
        style |= MB_TASKMODAL;
    MessageBoxW(owner, prompt.c_str(), kWindowCaption, style);
}

} // namespace dovrel
