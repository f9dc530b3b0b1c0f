#pragma once

// The window tests' names for parts of the shared window toolkit.
#include <windows.h>

#include <string>

#include "automation/window_query.h"

namespace dovrel::testing {

using automation::kFileNameBox;
using automation::kMessageBoxIcon;
using automation::kMessageBoxText;
using automation::TextOf;

inline std::wstring ClassOf(HWND window) {
    return automation::ClassNameOf(window);
}

// A visible dialog of this process that has a child with `childId`; null when
// none is up.
inline HWND VisibleDialogOfThisProcess(int childId) {
    return automation::VisibleWindowOf(GetCurrentProcessId(), [&](HWND window) {
        return ClassOf(window) == L"#32770" && GetDlgItem(window, childId) != nullptr;
    });
}

} // namespace dovrel::testing
