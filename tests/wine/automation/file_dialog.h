#pragma once

#include <windows.h>

#include <string>

namespace dovrel::automation {

// The process's visible file-open dialog; nullptr when none appears in time.
HWND WaitForFileDialog(DWORD processId, DWORD timeoutMs);

// Types `path` into the file name box and presses Open (IDOK).
void ChooseFile(HWND dialog, const std::wstring& path);
// Presses Cancel (IDCANCEL).
void CancelFileDialog(HWND dialog);

} // namespace dovrel::automation
