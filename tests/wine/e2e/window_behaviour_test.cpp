// Behaviour of the window's standard controls that needs the viewer check to
// run: option buttons exclude each other, and Alt+F presses "&Fix" once it is
// enabled. No viewer is at its standard place during these tests, so each
// selection brings the "not found" message and then the file-open dialog.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/file_dialog.h"
#include "automation/input.h"
#include "automation/test_files.h"
#include "automation/wait.h"
#include "dovrel_under_test.h"
#include "tests/expected/texts.h"
#include "viewer_setup.h"

namespace dovrel::e2e {
namespace {

class WindowBehaviour : public testing::Test {
protected:
    void SetUp() override {
        for (ControlId id :
             {ControlId::Option1, ControlId::Option2, ControlId::Command1, ControlId::Command2})
            ASSERT_NO_THROW(app_.Handle(id)) << "missing " << int(id);
    }

    // Selects a version; the viewer is missing, so: message, OK, then the
    // dialog, where `choose` is typed (or the dialog is cancelled when empty).
    // Returns the selection as it stood while the message was shown.
    std::pair<std::optional<int>, std::optional<int>>
    SelectMissingVersion(ControlId option, const std::wstring& choose) {
        app_.Press(option);
        const auto box = app_.WaitForMessageBox();
        if (!box) {
            ADD_FAILURE() << "no \"not found\" message after selecting a version";
            return {};
        }
        const auto selection = std::make_pair(app_.CheckState(ControlId::Option1),
                                              app_.CheckState(ControlId::Option2));
        app_.Dismiss(*box);
        HWND dialog = app_.WaitForFileDialog();
        if (!dialog) {
            ADD_FAILURE() << "no file-open dialog after the message";
            return selection;
        }
        if (choose.empty())
            automation::CancelFileDialog(dialog);
        else
            automation::ChooseFile(dialog, choose);
        app_.WaitUntilFileDialogCloses();
        return selection;
    }

    automation::ScopedAbsentFile noViewer2003_{StandardPlaceOf(kViewer2003)};
    automation::ScopedAbsentFile noViewer2007_{StandardPlaceOf(kViewer2007)};
    DovrelUnderTest app_;
};

TEST_F(WindowBehaviour, SelectingTheOtherVersionLeavesOnlyThatOneSelected) {
    const automation::ScopedFileCopy viewer(StandInOf(kViewer2003),
                                            L"C:\\dovrel-test\\chosen viewer\\pptview.exe");

    const auto first = SelectMissingVersion(ControlId::Option1, viewer.path());
    EXPECT_EQ(first,
              std::make_pair(std::optional<int>(BST_CHECKED), std::optional<int>(BST_UNCHECKED)));
    ASSERT_TRUE(app_.WaitUntilEnabledIs(ControlId::Command1, true))
        << "choosing a file enables \"&Fix\"";

    const auto second = SelectMissingVersion(ControlId::Option2, viewer.path());
    EXPECT_EQ(second,
              std::make_pair(std::optional<int>(BST_UNCHECKED), std::optional<int>(BST_CHECKED)));
    ASSERT_TRUE(app_.WaitUntilEnabledIs(ControlId::Command1, true));
    EXPECT_EQ(app_.CheckState(ControlId::Option1), std::optional<int>(BST_UNCHECKED));
    EXPECT_EQ(app_.CheckState(ControlId::Option2), std::optional<int>(BST_CHECKED));
}

TEST_F(WindowBehaviour, CancellingTheDialogLeavesNoVersionSelected) {
    SelectMissingVersion(ControlId::Option2, L"");
    EXPECT_TRUE(automation::WaitUntil(
        [&] { return app_.CheckState(ControlId::Option2) == std::optional<int>(BST_UNCHECKED); },
        automation::kReactionTimeoutMs));
    EXPECT_EQ(app_.CheckState(ControlId::Option1), std::optional<int>(BST_UNCHECKED));
    EXPECT_FALSE(app_.IsEnabled(ControlId::Command1));
}

TEST_F(WindowBehaviour, AltFPressesFixOnceItIsEnabled) {
    auto viewer = std::make_unique<automation::ScopedFileCopy>(
        StandInOf(kViewer2003), L"C:\\dovrel-test\\gone\\pptview.exe");
    SelectMissingVersion(ControlId::Option1, viewer->path());
    ASSERT_TRUE(app_.WaitUntilEnabledIs(ControlId::Command1, true));
    // With the chosen file gone, "&Fix" stops at its first step with a
    // message and writes nothing, so the press is visible and harmless.
    viewer.reset();

    automation::PostAccessKey(app_.Handle(ControlId::Command2), L'f');

    const auto box = app_.WaitForMessageBox();
    ASSERT_TRUE(box.has_value()) << "Alt+F did not press the enabled \"&Fix\"";
    EXPECT_EQ(box->shown(),
              (automation::ShownBox{expected::kPathNotFound, expected::kUntitledBoxTitle,
                                    automation::MessageBoxIcon::None}));
    automation::PressOk(box->hwnd);
}

} // namespace
} // namespace dovrel::e2e
