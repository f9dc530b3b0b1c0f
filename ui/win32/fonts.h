#pragma once

#include <windows.h>

#include "platform/win32/unique_handles.h"
#include "ui/control_table.h"

namespace dovrel {

// A control's own font from the table, sized for the screen's vertical DPI.
UniqueFont CreateControlFont(const FontSetting& setting, int dpiY);

// The font of every control that has none of its own, sized for the screen.
UniqueFont CreateStandardDialogFont(int dpiY);

} // namespace dovrel
