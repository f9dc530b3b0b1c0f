#pragma once

#include <windows.h>

#include <ole2.h>

#include "platform/win32/system_library.h"

namespace dovrel {

// OLE on this thread for as long as the object lives, for the system parts
// that may use COM (the file dialog, the shell's handlers). Started when one of
// them is first used rather than with the program, which most runs never need.
class OleSession {
public:
    // Raises PlatformError when OLE cannot be started on this thread.
    OleSession();
    ~OleSession();
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

private:
    SystemLibrary ole32_;
    decltype(&::OleUninitialize) uninitialize_;
};

} // namespace dovrel
