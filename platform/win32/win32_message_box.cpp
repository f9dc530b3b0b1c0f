#include "platform/win32/win32_message_box.h"

namespace dovrel {

void Win32MessageBox::Show(const std::wstring& prompt, int style,
                           const std::optional<std::wstring>& title) {
    // A box owned by a hidden window (during start-up) would get no taskbar
    // button and could vanish behind other windows; unowned it gets one.
    const HWND owner = owner_ && IsWindowVisible(owner_) ? owner_ : nullptr;
    const std::wstring caption = title.value_or(kApplicationTitle);
    // The answer is only ever "OK"; a box that cannot be shown has nobody
    // left to tell, so its failure is not raised.
    MessageBoxW(owner, prompt.c_str(), caption.c_str(), static_cast<UINT>(style));
}

} // namespace dovrel
