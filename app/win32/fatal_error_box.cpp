#include "app/win32/fatal_error_box.h"

#include <windows.h>

#include <exception>

#include "app/fatal_error.h"
#include "ui/control_table.h"

namespace dovrel {

void ShowFatalErrorBox(const std::wstring& prompt) {
    // The window is gone by now; the box must still come to the front.
    MessageBoxW(nullptr, prompt.c_str(), kWindowCaption,
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TASKMODAL);
}

int RunReportingFailure(const std::function<void()>& program) {
    std::exception_ptr failure;
    try {
        program();
        return 0;
    } catch (...) {
        failure = std::current_exception();
    }
    // If even the report fails, the exit code still tells.
    try {
        ShowFatalErrorBox(FatalErrorPrompt(failure));
    } catch (...) {
    }
    return kFatalExitCode;
}

} // namespace dovrel
