#pragma once

#include <windows.h>

#include "automation/unique_handle.h"

namespace dovrel {

// A plain top-level window of this thread to own a box or a dialog, as the
// main window does; hidden until shown, destroyed with its owner object.
inline automation::UniqueWindow MakeOwnerWindow(const wchar_t* title) {
    return automation::UniqueWindow(CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW, 0, 0,
                                                    200, 100, nullptr, nullptr,
                                                    GetModuleHandleW(nullptr), nullptr));
}

} // namespace dovrel
