#include "running_window.h"

namespace dovrel::e2e {

namespace {

bool IsClass(const automation::ControlInfo& control, const wchar_t* name) {
    return lstrcmpiW(control.className.c_str(), name) == 0;
}

// The text a control answers with: its caption; the picture, which has none,
// answers with its tool tip.
const wchar_t* TextOf(const expected::Control& row) {
    return row.caption ? row.caption : row.toolTip;
}

// The author credit's text is free: it is the one label whose text is no
// other control's.
bool CaptionFits(const automation::ControlInfo& child, const expected::Control& row) {
    if (row.caption != expected::kAnyText)
        return TextOf(row) ? child.caption == TextOf(row) : child.caption.empty();
    for (const expected::Control& other : expected::kControls)
        if (TextOf(other) && other.caption != expected::kAnyText && child.caption == TextOf(other))
            return false;
    return !child.caption.empty();
}

} // namespace

bool IsOfKind(const automation::ControlInfo& control, ControlKind kind) {
    const bool button = IsClass(control, L"Button");
    const DWORD type = control.style & BS_TYPEMASK;
    switch (kind) {
    case ControlKind::Frame:
        return button && type == BS_GROUPBOX;
    case ControlKind::CommandButton:
        return button && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
    case ControlKind::CheckBox:
        return button && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX);
    case ControlKind::OptionButton:
        return button && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
    case ControlKind::Label:
        return IsClass(control, L"Static");
    case ControlKind::Image:
        return !button; // a static picture or a window class of its own
    }
    return false;
}

RunningWindow::RunningWindow(HWND mainWindow) : children_(automation::ChildControls(mainWindow)) {
    for (const expected::Control& row : expected::kControls) {
        for (const automation::ControlInfo& child : children_) {
            if (CaptionFits(child, row) && IsOfKind(child, row.kind)) {
                matched_.emplace(row.id, child);
                break;
            }
        }
    }
}

std::optional<automation::ControlInfo> RunningWindow::Find(ControlId id) const {
    const auto it = matched_.find(id);
    if (it == matched_.end())
        return std::nullopt;
    return it->second;
}

std::wstring RunningWindow::NameOf(HWND control) const {
    for (const auto& [id, info] : matched_) {
        if (info.hwnd == control)
            return expected::Row(id).name;
    }
    return L"(unknown)";
}

} // namespace dovrel::e2e
