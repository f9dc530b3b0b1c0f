#pragma once

#include <windows.h>

#include "platform/message_box.h"

namespace dovrel {

// The system's message box, owned by the main window once it is on screen.
class Win32MessageBox : public IMessageBox {
public:
    Win32MessageBox() = default;
    void SetOwner(HWND owner) { owner_ = owner; }

    // The style goes to the system unchanged.
    void Show(const std::wstring& prompt, int style,
              const std::optional<std::wstring>& title = std::nullopt) override;

private:
    HWND owner_ = nullptr;
};

} // namespace dovrel
