#pragma once

#include <windows.h>

#include <string>

namespace dovrel {

// The system's own description of an error code, without the trailing line
// break; "Error <code>" when the system has none.
std::wstring SystemErrorText(DWORD code);

// Conversions through the system's ANSI code page, for the few calls that
// take ANSI text. Every character of the input is converted, NULs included.
std::string WideToAnsi(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);

} // namespace dovrel
