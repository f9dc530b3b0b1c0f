#pragma once

#include <windows.h>

#include "automation/message_box.h"

namespace dovrel::automation {

// Which of the system's message box icons the icon control of a message box
// shows: None when it holds no icon, else the system icon that, drawn on the
// box's background, looks like the screen there. Unrecognised when none does.
MessageBoxIcon RecogniseIconOnScreen(HWND iconControl);

} // namespace dovrel::automation
