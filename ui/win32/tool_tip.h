#pragma once

#include <windows.h>

namespace dovrel {

// Gives a child of `owner` a tool tip that shows while the pointer rests on
// it; the common controls must be loaded. The tip window is owned by `owner`
// and goes with it. Null when the common controls refuse: a tool tip is not
// worth ending the program for.
HWND AddToolTip(HWND owner, HWND tool, const wchar_t* text);

} // namespace dovrel
