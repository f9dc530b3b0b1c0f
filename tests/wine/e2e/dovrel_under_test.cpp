#include "dovrel_under_test.h"

#include <stdexcept>

#include "automation/file_dialog.h"
#include "automation/input.h"
#include "automation/wait.h"

namespace dovrel::e2e {

using automation::kReactionTimeoutMs;
using automation::WaitUntil;

DovrelUnderTest::DovrelUnderTest(const std::wstring& exe, const std::wstring& workingDirectory)
    : session_(exe, workingDirectory) {
    const automation::StartupOutcome outcome = session_.WaitForStartup(automation::kStartTimeoutMs);
    if (!outcome.mainWindow)
        throw std::runtime_error("instead of the main window: " + outcome.Describe());
    window_ = std::make_unique<RunningWindow>(outcome.mainWindow);
    // Load clears the options and sets the focus after showing the window;
    // the starting state is complete once the focus has arrived.
    WaitUntil([&] { return session_.FocusedControl() != nullptr; }, kReactionTimeoutMs);
}

HWND DovrelUnderTest::Handle(ControlId id) const {
    const std::optional<automation::ControlInfo> control = window_->Find(id);
    if (!control)
        throw std::runtime_error("a control of the table is missing from the window");
    return control->hwnd;
}

bool DovrelUnderTest::IsEnabled(ControlId id) const {
    return automation::DescribeControl(Handle(id)).enabled;
}

std::optional<int> DovrelUnderTest::CheckState(ControlId id) const {
    return automation::DescribeControl(Handle(id)).checked;
}

bool DovrelUnderTest::WaitUntilEnabledIs(ControlId id, bool enabled) const {
    return WaitUntil([&] { return IsEnabled(id) == enabled; }, kReactionTimeoutMs);
}

void DovrelUnderTest::Press(ControlId id) const {
    automation::PostButtonClick(Handle(id));
}

bool DovrelUnderTest::SetChecked(ControlId checkBox, bool checked) const {
    const std::optional<int> wanted = checked ? BST_CHECKED : BST_UNCHECKED;
    if (CheckState(checkBox) != wanted)
        automation::PostButtonClick(Handle(checkBox));
    return WaitUntil([&] { return CheckState(checkBox) == wanted; }, kReactionTimeoutMs);
}

std::optional<automation::MessageBoxInfo> DovrelUnderTest::WaitForMessageBox() const {
    return session_.WaitForMessageBox(kReactionTimeoutMs);
}

bool DovrelUnderTest::ShowsAMessageBoxSoon() const {
    return WaitUntil([&] { return automation::HasMessageBox(session_.processId()); },
                     kQuietPeriodMs);
}

void DovrelUnderTest::Dismiss(const automation::MessageBoxInfo& box) const {
    automation::PressOk(box.hwnd);
    WaitUntil([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); },
              kReactionTimeoutMs);
}

HWND DovrelUnderTest::WaitForFileDialog() const {
    return session_.WaitForFileDialog(kReactionTimeoutMs);
}

bool DovrelUnderTest::WaitUntilFileDialogCloses() const {
    return WaitUntil([&] { return session_.WaitForFileDialog(0) == nullptr; }, kReactionTimeoutMs);
}

} // namespace dovrel::e2e
