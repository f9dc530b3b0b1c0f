#include "automation/message_box.h"

#include "automation/icon_recognition.h"
#include "automation/wait.h"
#include "automation/window_query.h"

namespace dovrel::automation {

namespace {

// A box is painted a moment after it appears: trust a reading once two in a
// row agree.
constexpr DWORD kIconPaintTimeoutMs = 3000;
constexpr DWORD kIconReadingGapMs = 150;

MessageBoxInfo DescribeMessageBox(HWND box) {
    MessageBoxInfo info;
    info.hwnd = box;
    info.title = TextOf(box);
    info.text = TextOf(GetDlgItem(box, kMessageBoxText));
    HWND icon = GetDlgItem(box, kMessageBoxIcon);
    MessageBoxIcon previous = MessageBoxIcon::Unrecognised;
    WaitUntil(
        [&] {
            info.icon = RecogniseIconOnScreen(icon);
            const bool settled = info.icon == previous && info.icon != MessageBoxIcon::Unrecognised;
            previous = info.icon;
            return settled;
        },
        kIconPaintTimeoutMs, kIconReadingGapMs);
    return info;
}

HWND VisibleMessageBox(DWORD processId) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (IsWindowVisible(window) && IsMessageBoxWindow(window))
            return window;
    }
    return nullptr;
}

} // namespace

const char* NameOf(MessageBoxIcon icon) {
    switch (icon) {
    case MessageBoxIcon::None:
        return "no icon";
    case MessageBoxIcon::Critical:
        return "critical";
    case MessageBoxIcon::Information:
        return "information";
    case MessageBoxIcon::Exclamation:
        return "exclamation";
    case MessageBoxIcon::Question:
        return "question";
    case MessageBoxIcon::Unrecognised:
        break;
    }
    return "unrecognised";
}

bool HasMessageBox(DWORD processId) {
    return VisibleMessageBox(processId) != nullptr;
}

std::optional<MessageBoxInfo> FindMessageBox(DWORD processId) {
    HWND box = VisibleMessageBox(processId);
    if (!box)
        return std::nullopt;
    return DescribeMessageBox(box);
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil([&] { return (box = VisibleMessageBox(processId)) != nullptr; }, timeoutMs);
    if (!box)
        return std::nullopt;
    return DescribeMessageBox(box);
}

void PressOk(HWND box) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

} // namespace dovrel::automation
