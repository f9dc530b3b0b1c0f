#pragma once

#include <optional>
#include <string>

namespace dovrel {

inline constexpr wchar_t kApplicationTitle[] = L"Dovrel";

// Message box styles the program uses.
enum MessageStyle : int {
    kMessageOk = 0,
    kMessageCritical = 16,
    kMessageExclamation = 48,
    kMessageInformation = 64,
};

// A modal box with an OK button. Without a title the application title shows.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual void Show(const std::wstring& prompt, int style,
                      const std::optional<std::wstring>& title = std::nullopt) = 0;
};

} // namespace dovrel
