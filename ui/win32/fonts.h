#pragma once

#include <windows.h>

#include "ui/control_table.h"
#include "ui/win32/gdi_handles.h"

namespace dovrel {

// A control's own font from the table, sized for the screen's vertical DPI.
UniqueFont CreateControlFont(const FontSetting& setting, int dpiY);

// The font of every control that has none of its own, sized for the screen.
UniqueFont CreateStandardDialogFont(int dpiY);

} // namespace dovrel
