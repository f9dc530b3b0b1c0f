#pragma once

#include <windows.h>

#include "platform/win32/unique_handles.h"

// The test toolkit owns its handles with the program's own owners.
namespace dovrel::automation {

using dovrel::UniqueHandle;
using dovrel::UniqueRegistryKey;
using dovrel::UniqueWindow;

// The screen's device context, for reading what is on screen.
struct ScreenDc : UniqueScreenDc {
    ScreenDc() : UniqueScreenDc(GetDC(nullptr)) {}
};

} // namespace dovrel::automation
