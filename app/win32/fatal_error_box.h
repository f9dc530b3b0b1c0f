#pragma once

#include <windows.h>

#include <string>

namespace dovrel {

// The critical box shown before the program ends on an error nobody handled.
// `owner` may be null or already gone.
void ShowFatalErrorBox(HWND owner, const std::wstring& prompt);

} // namespace dovrel
