#pragma once

#include <windows.h>

#include "platform/win32/unique_handles.h"

// The test toolkit owns its handles with the program's own owners, and with
// owners of its own for kinds the program does not hold.
namespace dovrel::automation {

using dovrel::UniqueRegistryKey;
using dovrel::UniqueWindow;

using UniqueHandle = UniqueAny<HANDLE, &CloseHandle>;
using UniqueSid = UniqueAny<PSID, &FreeSid>;
using UniqueDc = UniqueAny<HDC, &DeleteDC>;
using UniqueBitmap = UniqueAny<HBITMAP, &DeleteObject>;
using UniqueBrush = UniqueAny<HBRUSH, &DeleteObject>;

// The screen's device context, for reading what is on screen.
struct ScreenDc : UniqueScreenDc {
    ScreenDc() : UniqueScreenDc(GetDC(nullptr)) {}
};

} // namespace dovrel::automation
