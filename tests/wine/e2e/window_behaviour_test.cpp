// Behaviour of the window's standard controls that needs the viewer check to
// run: option buttons exclude each other, and Alt+F presses "&Fix" once it is
// enabled. No viewer is at its standard place during these tests, so each
// selection brings the "not found" message and then the file-open dialog.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/dovrel_session.h"
#include "automation/file_dialog.h"
#include "automation/input.h"
#include "automation/test_files.h"
#include "automation/wait.h"
#include "automation/wine_paths.h"
#include "running_window.h"

namespace dovrel::e2e {
namespace {

using automation::ControlInfo;
using automation::DovrelSession;
using automation::kReactionTimeoutMs;
using automation::kStartTimeoutMs;

std::wstring ProgramFiles() {
    wchar_t expanded[MAX_PATH] = {};
    ExpandEnvironmentStringsW(L"%ProgramFiles%", expanded, MAX_PATH);
    return expanded;
}

class WindowBehaviour : public testing::Test {
protected:
    void SetUp() override {
        session_ = std::make_unique<DovrelSession>();
        ASSERT_NE(session_->WaitForMainWindow(kStartTimeoutMs), nullptr);
        window_ = std::make_unique<RunningWindow>(session_->mainWindow());
        for (ControlId id :
             {ControlId::Option1, ControlId::Option2, ControlId::Command1, ControlId::Command2})
            ASSERT_TRUE(window_->Find(id).has_value()) << "missing " << int(id);
    }

    HWND Handle(ControlId id) const { return window_->Find(id)->hwnd; }
    std::optional<int> CheckedNow(ControlId id) const {
        return automation::DescribeControl(Handle(id)).checked;
    }
    bool EnabledNow(ControlId id) const { return automation::DescribeControl(Handle(id)).enabled; }

    // Selects a version; the viewer is missing, so: message, OK, then the
    // dialog, where `choose` is typed (or the dialog is cancelled when empty).
    // Returns the selection as it stood while the message was shown.
    std::pair<std::optional<int>, std::optional<int>>
    SelectMissingVersion(ControlId option, const std::wstring& choose) {
        automation::PostButtonClick(Handle(option));
        const auto box = session_->WaitForMessageBox(kReactionTimeoutMs);
        if (!box) {
            ADD_FAILURE() << "no \"not found\" message after selecting a version";
            return {};
        }
        const auto selection =
            std::make_pair(CheckedNow(ControlId::Option1), CheckedNow(ControlId::Option2));
        automation::PressOk(box->hwnd);
        HWND dialog = session_->WaitForFileDialog(kReactionTimeoutMs);
        if (!dialog) {
            ADD_FAILURE() << "no file-open dialog after the message";
            return selection;
        }
        if (choose.empty())
            automation::CancelFileDialog(dialog);
        else
            automation::ChooseFile(dialog, choose);
        automation::WaitUntil([&] { return session_->WaitForFileDialog(0) == nullptr; },
                              kReactionTimeoutMs);
        return selection;
    }

    automation::ScopedAbsentFile noViewer2003_{
        ProgramFiles() + L"\\Microsoft Office\\PowerPoint Viewer\\pptview.exe"};
    automation::ScopedAbsentFile noViewer2007_{ProgramFiles() +
                                               L"\\Microsoft Office\\Office12\\pptview.exe"};
    std::unique_ptr<DovrelSession> session_;
    std::unique_ptr<RunningWindow> window_;
};

TEST_F(WindowBehaviour, SelectingTheOtherVersionLeavesOnlyThatOneSelected) {
    const automation::ScopedFileCopy viewer(automation::FixturePath(L"viewer11\\pptview.exe"),
                                            L"C:\\dovrel-test\\chosen viewer\\pptview.exe");

    const auto first = SelectMissingVersion(ControlId::Option1, viewer.path());
    EXPECT_EQ(first,
              std::make_pair(std::optional<int>(BST_CHECKED), std::optional<int>(BST_UNCHECKED)));
    ASSERT_TRUE(
        automation::WaitUntil([&] { return EnabledNow(ControlId::Command1); }, kReactionTimeoutMs))
        << "choosing a file enables \"&Fix\"";

    const auto second = SelectMissingVersion(ControlId::Option2, viewer.path());
    EXPECT_EQ(second,
              std::make_pair(std::optional<int>(BST_UNCHECKED), std::optional<int>(BST_CHECKED)));
    ASSERT_TRUE(
        automation::WaitUntil([&] { return EnabledNow(ControlId::Command1); }, kReactionTimeoutMs));
    EXPECT_EQ(CheckedNow(ControlId::Option1), std::optional<int>(BST_UNCHECKED));
    EXPECT_EQ(CheckedNow(ControlId::Option2), std::optional<int>(BST_CHECKED));
}

TEST_F(WindowBehaviour, CancellingTheDialogLeavesNoVersionSelected) {
    SelectMissingVersion(ControlId::Option2, L"");
    EXPECT_TRUE(automation::WaitUntil(
        [&] { return CheckedNow(ControlId::Option2) == std::optional<int>(BST_UNCHECKED); },
        kReactionTimeoutMs));
    EXPECT_EQ(CheckedNow(ControlId::Option1), std::optional<int>(BST_UNCHECKED));
    EXPECT_FALSE(EnabledNow(ControlId::Command1));
}

TEST_F(WindowBehaviour, AltFPressesFixOnceItIsEnabled) {
    auto viewer = std::make_unique<automation::ScopedFileCopy>(
        automation::FixturePath(L"viewer11\\pptview.exe"), L"C:\\dovrel-test\\gone\\pptview.exe");
    SelectMissingVersion(ControlId::Option1, viewer->path());
    ASSERT_TRUE(
        automation::WaitUntil([&] { return EnabledNow(ControlId::Command1); }, kReactionTimeoutMs));
    // With the chosen file gone, "&Fix" stops at its first step with a
    // message and writes nothing, so the press is visible and harmless.
    viewer.reset();

    automation::PostAccessKey(Handle(ControlId::Command2), L'f');

    const auto box = session_->WaitForMessageBox(kReactionTimeoutMs);
    ASSERT_TRUE(box.has_value()) << "Alt+F did not press the enabled \"&Fix\"";
    EXPECT_EQ(box->text, L"PowerPoint Viewer application path not found");
    automation::PressOk(box->hwnd);
}

} // namespace
} // namespace dovrel::e2e
