#include "automation/message_box.h"

#include "automation/icon_recognition.h"
#include "automation/wait.h"
#include "automation/window_query.h"

#include <string>

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

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

} // namespace

void PrintTo(const ShownBox& box, std::ostream* out) {
    *out << "{text \"" << Utf8(box.text) << "\", title \"" << Utf8(box.title) << "\", icon "
         << NameOf(box.icon) << "}";
}

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
    return VisibleWindowOf(processId, IsMessageBoxWindow) != nullptr;
}

std::optional<MessageBoxInfo> FindMessageBox(DWORD processId) {
    return WaitForMessageBox(processId, 0);
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil([&] { return (box = VisibleWindowOf(processId, IsMessageBoxWindow)) != nullptr; },
              timeoutMs);
    if (!box)
        return std::nullopt;
    return DescribeMessageBox(box);
}

void PressOk(HWND box) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

} // namespace dovrel::automation
