#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "automation/window_query.h"
#include "tests/expected/window_layout.h"

namespace dovrel::e2e {

// The running window's controls matched to the expected ones: by caption, and
// the two without a caption (the author frame, the picture) by kind.
class RunningWindow {
public:
    explicit RunningWindow(HWND mainWindow);

    std::size_t childCount() const { return children_.size(); }
    // Empty when the table's control was not found in the window.
    std::optional<automation::ControlInfo> Find(ControlId id) const;
    // The table's name of the control with this handle, or "(unknown)".
    std::wstring NameOf(HWND control) const;

private:
    std::vector<automation::ControlInfo> children_;
    std::map<ControlId, automation::ControlInfo> matched_;
};

// Whether a Win32 control is of the kind the table asks for.
bool IsOfKind(const automation::ControlInfo& control, ControlKind kind);

} // namespace dovrel::e2e
