#pragma once

#include <windows.h>

#include "ui/control_table.h"
#include "ui/layout.h"

namespace dovrel {

// The command identifier of a control; clear of IDOK and IDCANCEL, which the
// dialog manager sends for Enter and Escape.
int ControlCommandId(ControlId id);
bool ControlFromCommandId(int commandId, ControlId& id);

// Creates one control as a standard control, a child of `parent`, at `rect`
// (client pixels), with its stored caption, state and style. Raises
// PlatformError.
HWND CreateControlWindow(const ControlSpec& spec, HWND parent, HINSTANCE instance,
                         const PixelRect& rect);

// Checks or clears a check box or option button. The system takes an option
// button out of the tab order while it is unchecked; ours stay in it.
void SetButtonCheck(HWND button, bool checked);

} // namespace dovrel
