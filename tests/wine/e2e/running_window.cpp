#include "running_window.h"

namespace dovrel::e2e {

namespace {

bool IsClass(const automation::ControlInfo& control, const wchar_t* name) {
    return lstrcmpiW(control.className.c_str(), name) == 0;
}

DWORD ButtonType(const automation::ControlInfo& control) {
    return control.style & BS_TYPEMASK;
}

} // namespace

bool IsOfKind(const automation::ControlInfo& control, ControlKind kind) {
    const bool button = IsClass(control, L"Button");
    switch (kind) {
    case ControlKind::Frame:
        return button && ButtonType(control) == BS_GROUPBOX;
    case ControlKind::CommandButton:
        return button &&
               (ButtonType(control) == BS_PUSHBUTTON || ButtonType(control) == BS_DEFPUSHBUTTON);
    case ControlKind::CheckBox:
        return button &&
               (ButtonType(control) == BS_CHECKBOX || ButtonType(control) == BS_AUTOCHECKBOX);
    case ControlKind::OptionButton:
        return button &&
               (ButtonType(control) == BS_RADIOBUTTON || ButtonType(control) == BS_AUTORADIOBUTTON);
    case ControlKind::Label:
        return IsClass(control, L"Static");
    case ControlKind::Image:
        return !button; // a static picture or a window class of its own
    }
    return false;
}

RunningWindow::RunningWindow(HWND mainWindow) : children_(automation::ChildControls(mainWindow)) {
    for (const ControlSpec& spec : ControlTable()) {
        for (const automation::ControlInfo& child : children_) {
            const bool captionFits =
                spec.caption ? child.caption == spec.caption : child.caption.empty();
            if (captionFits && IsOfKind(child, spec.kind)) {
                matched_.emplace(spec.id, child);
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
            return FindControl(id).name;
    }
    return L"(unknown)";
}

int TwipsToPixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

RECT ExpectedRect(const ControlSpec& spec, int dpi) {
    int left = spec.left;
    int top = spec.top;
    if (spec.container) {
        const ControlSpec& frame = FindControl(*spec.container);
        left += frame.left;
        top += frame.top;
    }
    return RECT{TwipsToPixels(left, dpi), TwipsToPixels(top, dpi),
                TwipsToPixels(left + spec.width, dpi), TwipsToPixels(top + spec.height, dpi)};
}

} // namespace dovrel::e2e
