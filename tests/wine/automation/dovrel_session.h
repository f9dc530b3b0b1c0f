#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/message_box.h"
#include "automation/process.h"
#include "automation/visibility_watch.h"
#include "automation/window_query.h"
#include "automation/wine_paths.h"

namespace dovrel::automation {

// One run of the real Dovrel.exe (DOVREL_EXE), watched from its start: which
// windows it ever showed, its main window and controls, its message boxes and
// dialogs. The program is ended when the session goes.
// What start-up came to: the main window, a message box instead, or the end.
struct StartupOutcome {
    HWND mainWindow = nullptr;
    std::optional<MessageBoxInfo> messageBox;
    std::optional<DWORD> exitCode;
    // For failure messages: what the program showed or did instead.
    std::string Describe() const;
};

class DovrelSession {
public:
    // The program under test, or a copy of it at `exe`, started in
    // `workingDirectory` (empty: the test's own).
    explicit DovrelSession(const std::wstring& exe = DovrelExePath(),
                           const std::wstring& workingDirectory = L"");
    ~DovrelSession();
    DovrelSession(const DovrelSession&) = delete;
    DovrelSession& operator=(const DovrelSession&) = delete;

    DWORD processId() const { return process_.id(); }
    bool IsRunning() const { return process_.IsRunning(); }

    // Waits until the main window shows, a message box shows or the program
    // ends, whichever comes first.
    StartupOutcome WaitForStartup(DWORD timeoutMs);
    HWND mainWindow() const { return mainWindow_; }

    // The control that has the keyboard focus now (nullptr: none).
    HWND FocusedControl() const;

    std::optional<MessageBoxInfo> WaitForMessageBox(DWORD timeoutMs) const;
    HWND WaitForFileDialog(DWORD timeoutMs) const;

    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const {
        return process_.WaitForExit(timeoutMs);
    }
    // Closes the main window as its close button does and waits for the end.
    std::optional<DWORD> Close(DWORD timeoutMs);

    // Windows other than message boxes and dialogs that were ever visible.
    std::vector<std::wstring> WindowsEverShown() const;

private:
    LaunchedProcess process_;
    std::unique_ptr<VisibilityWatch> watch_;
    HWND mainWindow_ = nullptr;
};

} // namespace dovrel::automation
