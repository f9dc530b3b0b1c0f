#include "automation/dovrel_session.h"

#include "automation/file_dialog.h"
#include "automation/input.h"
#include "automation/wait.h"
#include "automation/window_query.h"
#include "automation/wine_paths.h"
#include "ui/control_table.h"

namespace dovrel::automation {

namespace {

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text)
        narrow += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    return narrow;
}

} // namespace

std::string StartupOutcome::Describe() const {
    if (mainWindow)
        return "the main window";
    if (messageBox)
        return "a message box \"" + Narrow(messageBox->title) + "\": \"" +
               Narrow(messageBox->text) + "\"";
    if (exitCode)
        return "the end of the program, exit code " + std::to_string(*exitCode);
    return "nothing (still starting when the time ran out)";
}

DovrelSession::DovrelSession(const std::wstring& exe, const std::wstring& workingDirectory)
    : process_(LaunchedProcess::Start(exe, L"", workingDirectory)),
      watch_(std::make_unique<VisibilityWatch>(process_.id())) {}

DovrelSession::~DovrelSession() {
    watch_.reset();
    process_.Terminate();
}

StartupOutcome DovrelSession::WaitForStartup(DWORD timeoutMs) {
    StartupOutcome outcome;
    WaitUntil(
        [&] {
            mainWindow_ = FindMainWindow(process_.id(), kWindowCaption);
            return mainWindow_ || HasMessageBox(process_.id()) || !process_.IsRunning();
        },
        timeoutMs);
    outcome.mainWindow = mainWindow_;
    if (!mainWindow_) {
        outcome.messageBox = FindMessageBox(process_.id());
        outcome.exitCode = process_.WaitForExit(0);
    }
    return outcome;
}

HWND DovrelSession::FocusedControl() const {
    return mainWindow_ ? FocusedWindowOf(mainWindow_) : nullptr;
}

std::optional<MessageBoxInfo> DovrelSession::WaitForMessageBox(DWORD timeoutMs) const {
    return automation::WaitForMessageBox(process_.id(), timeoutMs);
}

HWND DovrelSession::WaitForFileDialog(DWORD timeoutMs) const {
    return automation::WaitForFileDialog(process_.id(), timeoutMs);
}

std::optional<DWORD> DovrelSession::Close(DWORD timeoutMs) {
    if (mainWindow_)
        PostClose(mainWindow_);
    return process_.WaitForExit(timeoutMs);
}

std::vector<std::wstring> DovrelSession::WindowsEverShown() const {
    return watch_->WindowsSeen();
}

} // namespace dovrel::automation
