#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "automation/dovrel_session.h"
#include "automation/message_box.h"
#include "running_window.h"
#include "ui/control_id.h"

namespace dovrel::e2e {

// The running Dovrel.exe with its controls found, worked the way a user
// works it: clicks and keys are posted, and every wait has a time limit.
class DovrelUnderTest {
public:
    // Starts the program (or a copy of it at `exe`, in `workingDirectory`) and
    // waits for its window; throws when it does not show.
    explicit DovrelUnderTest(const std::wstring& exe = automation::DovrelExePath(),
                             const std::wstring& workingDirectory = L"");

    automation::DovrelSession& session() { return session_; }
    HWND Handle(ControlId id) const;

    bool IsEnabled(ControlId id) const;
    std::optional<int> CheckState(ControlId id) const;
    // Waits until the control's enabled state is as asked; answers whether it came.
    bool WaitUntilEnabledIs(ControlId id, bool enabled) const;

    // A button press, as a click of the mouse on it does.
    void Press(ControlId id) const;
    // Ticks or clears a check box, answers whether it took.
    bool SetChecked(ControlId checkBox, bool checked) const;

    // The message box the program shows next (within the reaction time).
    std::optional<automation::MessageBoxInfo> WaitForMessageBox() const;
    // Whether a message box appears within a short quiet period.
    bool ShowsAMessageBoxSoon() const;
    // Presses OK and waits until the box has gone.
    void Dismiss(const automation::MessageBoxInfo& box) const;

    // The file-open dialog the program shows next; nullptr when none does.
    HWND WaitForFileDialog() const;
    // Waits until no file-open dialog is shown any more.
    bool WaitUntilFileDialogCloses() const;

private:
    automation::DovrelSession session_;
    std::unique_ptr<RunningWindow> window_;
};

// Long enough for a posted click to have been handled and a box to appear.
inline constexpr DWORD kQuietPeriodMs = 1500;

} // namespace dovrel::e2e
