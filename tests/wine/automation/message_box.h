#pragma once

#include <windows.h>

#include <optional>
#include <ostream>
#include <string>

namespace dovrel::automation {

// The icon a message box shows, recognised by its pixels on screen (icon
// handles of another process cannot be read).
enum class MessageBoxIcon { None, Critical, Information, Exclamation, Question, Unrecognised };
const char* NameOf(MessageBoxIcon icon);

// What a box shows, compared and printed as one value.
struct ShownBox {
    std::wstring text;
    std::wstring title;
    MessageBoxIcon icon = MessageBoxIcon::Unrecognised;

    bool operator==(const ShownBox& o) const {
        return text == o.text && title == o.title && icon == o.icon;
    }
};
void PrintTo(const ShownBox& box, std::ostream* out);

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::wstring title;
    std::wstring text;
    MessageBoxIcon icon = MessageBoxIcon::Unrecognised;

    ShownBox shown() const { return {text, title, icon}; }
};

// Whether the process shows a message box now (cheap: reads nothing from it).
bool HasMessageBox(DWORD processId);

// The process's first visible message box, if any.
std::optional<MessageBoxInfo> FindMessageBox(DWORD processId);
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs);

// Presses OK (IDOK).
void PressOk(HWND box);

} // namespace dovrel::automation
