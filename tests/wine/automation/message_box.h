#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace dovrel::automation {

// The icon a message box shows, recognised by its pixels on screen (icon
// handles of another process cannot be read).
enum class MessageBoxIcon { None, Critical, Information, Exclamation, Question, Unrecognised };
const char* NameOf(MessageBoxIcon icon);

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::wstring title;
    std::wstring text;
    MessageBoxIcon icon = MessageBoxIcon::Unrecognised;
};

// Whether the process shows a message box now (cheap: reads nothing from it).
bool HasMessageBox(DWORD processId);

// The process's first visible message box, if any.
std::optional<MessageBoxInfo> FindMessageBox(DWORD processId);
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs);

// Presses OK (IDOK).
void PressOk(HWND box);

} // namespace dovrel::automation
