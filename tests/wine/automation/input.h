#pragma once

#include <windows.h>

namespace dovrel::automation {

// Everything here is posted, never sent: a handler that opens a modal box
// would otherwise block the caller (and the test) until the box closes.

// A button press as the button itself would do it (BM_CLICK).
void PostButtonClick(HWND button);
// The notification a static control with SS_NOTIFY sends on a click.
void PostStaticClick(HWND staticControl);
// Alt+letter, as the dialog manager sees it (WM_SYSCHAR to a control).
void PostAccessKey(HWND control, wchar_t letter);
// A key press and release (WM_KEYDOWN, WM_KEYUP), e.g. VK_TAB.
void PostKey(HWND control, UINT virtualKey);
// What the close button does.
void PostClose(HWND window);

// Real input, through the system's input queue: the system decides which
// window gets it, as it does for the user. The target must be uncovered on
// screen (clicks) or in the foreground window (keys). False when the system
// did not take the input.

// The mouse moved to the centre of the control and its left button clicked.
bool ClickWithMouse(HWND control);
// The mouse moved to the centre of the control, no button pressed.
bool MovePointerOnto(HWND control);
// Alt held while the letter's key is pressed, as on the keyboard.
bool TypeAccessKey(wchar_t letter);

} // namespace dovrel::automation
