#include "ui/win32/control_factory.h"

#include <string>

#include "platform/platform_error.h"
#include "platform/win32/system_text.h"
#include "ui/click_events.h"

namespace dovrel {

namespace {

constexpr int kFirstCommandId = 100;

struct ClassAndStyle {
    const wchar_t* className;
    DWORD style;
};

ClassAndStyle ClassAndStyleOf(const ControlSpec& spec) {
    switch (spec.kind) {
    case ControlKind::Frame:
        return {L"BUTTON", BS_GROUPBOX};
    case ControlKind::Label: {
        DWORD style = spec.align == TextAlign::Centre ? SS_CENTER : SS_LEFT; // both wrap words
        if (RaisesClick(spec.id))
            style |= SS_NOTIFY;
        return {L"STATIC", style};
    }
    case ControlKind::CommandButton:
        return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP};
    case ControlKind::CheckBox:
        return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP};
    case ControlKind::OptionButton:
        // Not automatic: the two options are not neighbours in the tab order,
        // so the window keeps them exclusive itself.
        return {L"BUTTON", BS_RADIOBUTTON | WS_TABSTOP};
    case ControlKind::Image:
        // The window draws the picture itself, at its natural size.
        return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY};
    }
    return {L"STATIC", SS_LEFT};
}

} // namespace

int ControlCommandId(ControlId id) {
    return kFirstCommandId + static_cast<int>(id);
}

bool ControlFromCommandId(int commandId, ControlId& id) {
    const int index = commandId - kFirstCommandId;
    if (index < 0 || index >= kControlCount)
        return false;
    id = static_cast<ControlId>(index);
    return true;
}

HWND CreateControlWindow(const ControlSpec& spec, HWND parent, HINSTANCE instance,
                         const PixelRect& rect) {
    const ClassAndStyle kind = ClassAndStyleOf(spec);
    // Every control starts a group of its own: arrow keys never wander onto
    // a label or across frames.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP | kind.style;
    if (!spec.enabled)
        style |= WS_DISABLED;
    // A screen reader names a control by its text. The picture has no caption
    // and draws none; its text is its tool tip.
    const wchar_t* text = spec.caption ? spec.caption : spec.toolTip ? spec.toolTip : L"";
    HWND control = CreateWindowExW(
        0, kind.className, text, style, rect.left, rect.top, rect.width(), rect.height(), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlCommandId(spec.id))), instance,
        nullptr);
    if (!control)
        throw PlatformError(std::wstring(L"Creating the control ") + spec.name,
                            SystemErrorText(GetLastError()));
    if (spec.kind == ControlKind::CheckBox || spec.kind == ControlKind::OptionButton)
        SetButtonCheck(control, spec.value == 1);
    return control;
}

void SetButtonCheck(HWND button, bool checked) {
    const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if ((style & WS_TABSTOP) && !(GetWindowLongPtrW(button, GWL_STYLE) & WS_TABSTOP))
        SetWindowLongPtrW(button, GWL_STYLE, GetWindowLongPtrW(button, GWL_STYLE) | WS_TABSTOP);
}

} // namespace dovrel
