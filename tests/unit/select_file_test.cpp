#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/fakes/form_harness.h"

namespace dovrel::testing {
namespace {

class SelectFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        h.CreateObjects();
        // As when a check of the 2007 viewer failed: its option selected, the
        // path of the unsuitable file still held.
        h.view.Select(ControlId::Option2);
        fields().sViewerPath = L"C:\\Program Files\\Microsoft Office\\Office12\\pptview.exe";
    }

    FormFields& fields() { return h.form.fields(); }

    FormHarness h;
};

TEST_F(SelectFileTest, DialogIsSetUpThenShown) {
    h.world.dialogResult = 1;
    h.world.dialogFileName = L"C:\\Viewer\\pptview.exe";
    h.form.SelectFile();

    EXPECT_EQ(h.world.dialogInitialDir, L"%Programfiles%");
    EXPECT_EQ(h.world.dialogFilter, L"EXE Files(*.exe)|*.exe");
    EXPECT_EQ(h.world.dialogFlags, std::optional<std::int16_t>(4));
    const std::vector<std::wstring> expected{
        L"dialog.InitialDir %Programfiles%",
        L"dialog.Filter EXE Files(*.exe)|*.exe",
        L"dialog.Flags 4",
        L"dialog.ShowOpen",
        L"dialog.FileName",
        L"view.SetEnabled Command1 true",
    };
    EXPECT_EQ(h.log.calls, expected);
}

TEST_F(SelectFileTest, DialogIsSetUpAgainOnEveryCall) {
    h.form.SelectFile();
    h.world.dialogInitialDir = L"C:\\Elsewhere";
    h.world.dialogFilter = L"All|*.*";
    h.world.dialogFlags = 0;
    h.log.calls.clear();
    h.form.SelectFile();

    EXPECT_EQ(h.world.dialogInitialDir, L"%Programfiles%");
    EXPECT_EQ(h.world.dialogFilter, L"EXE Files(*.exe)|*.exe");
    EXPECT_EQ(h.world.dialogFlags, std::optional<std::int16_t>(4));
    EXPECT_EQ(h.log.calls.front(), L"dialog.InitialDir %Programfiles%");
}

TEST_F(SelectFileTest, CancelClearsBothOptionsAndDisablesFix) {
    h.view.enabled[ControlId::Command1] = true; // from an earlier successful check
    h.world.dialogResult = 0;
    h.form.SelectFile();

    EXPECT_EQ(fields().sViewerPath, L"");
    EXPECT_EQ(fields().vDialogResult, Variant(std::int32_t{0}));
    EXPECT_FALSE(h.view.IsSelected(ControlId::Option1));
    EXPECT_FALSE(h.view.IsSelected(ControlId::Option2));
    EXPECT_FALSE(h.view.IsEnabled(ControlId::Command1));
    const std::vector<std::wstring> tail(h.log.calls.end() - 3, h.log.calls.end());
    EXPECT_EQ(tail, (std::vector<std::wstring>{L"view.SetOptionValue Option1 false",
                                               L"view.SetOptionValue Option2 false",
                                               L"view.SetEnabled Command1 false"}));
    EXPECT_FALSE(h.log.Contains(L"dialog.FileName"));
    EXPECT_TRUE(h.messageBox.shown.empty());
}

TEST_F(SelectFileTest, AnyNonZeroResultIsAChosenFile) {
    for (const std::int16_t result : {std::int16_t{1}, std::int16_t{-1}, std::int16_t{2}}) {
        SCOPED_TRACE(result);
        h.view.Select(ControlId::Option2);
        h.view.enabled[ControlId::Command1] = false;
        h.world.dialogResult = result;
        h.world.dialogFileName = L"D:\\Tools\\pptview.exe";
        h.form.SelectFile();

        EXPECT_EQ(fields().vDialogResult, Variant(std::int32_t{result}));
        EXPECT_EQ(fields().sViewerPath, L"D:\\Tools\\pptview.exe");
        EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
        EXPECT_TRUE(h.view.IsSelected(ControlId::Option2));
    }
}

TEST_F(SelectFileTest, ChosenFileIsAcceptedWithoutAnyCheck) {
    fields().sViewerVersion = L"11.0.8173.0";
    h.world.dialogResult = 1;
    h.world.dialogFileName = L"C:\\WINDOWS\\system32\\calc.exe"; // not even a viewer
    h.form.SelectFile();

    EXPECT_EQ(fields().sViewerPath, L"C:\\WINDOWS\\system32\\calc.exe");
    EXPECT_EQ(fields().sViewerVersion, L"11.0.8173.0");
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
    EXPECT_FALSE(h.log.Contains(L"fso."));
    EXPECT_FALSE(h.log.Contains(L"view.SetOptionValue"));
}

TEST_F(SelectFileTest, PathStaysEmptyAfterCancelUntilTheNextCheck) {
    h.world.dialogResult = 0;
    h.form.SelectFile();
    ASSERT_EQ(fields().sViewerPath, L"");

    h.world.files[L"C:\\Program Files\\Microsoft Office\\Office12\\pptview.exe"] = L"12.0.1.2";
    h.view.Select(ControlId::Option2);
    h.form.OnOption2Click();
    EXPECT_EQ(fields().sViewerPath, L"C:\\Program Files\\Microsoft Office\\Office12\\pptview.exe");
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
}

} // namespace
} // namespace dovrel::testing
