#pragma once

#include <windows.h>

namespace dovrel {

// Gives a child of `owner` a tool tip that shows while the pointer rests on
// it. The tip window is owned by `owner` and goes with it. Raises
// PlatformError when the common controls refuse.
HWND AddToolTip(HWND owner, HWND tool, const wchar_t* text);

} // namespace dovrel
