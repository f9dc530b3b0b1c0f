#pragma once

#include <windows.h>

#include <string>

namespace dovrel::testing {

// Child ids of a message box.
inline constexpr int kMessageBoxText = 0xFFFF;
inline constexpr int kMessageBoxIcon = 0x440;

std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);

// A visible dialog of this process that has a child with `childId`; null when
// none is up.
HWND VisibleDialogOfThisProcess(int childId);

} // namespace dovrel::testing
