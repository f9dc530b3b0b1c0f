#pragma once

#include "ui/layout.h"

namespace dovrel {

// The screen's real dots per inch (XP scales nothing behind the program's back).
Dpi ScreenDpi();

} // namespace dovrel
