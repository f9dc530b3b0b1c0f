#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/expected/texts.h"
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
        fields().sViewerPath = expected::kViewer2007Path;
    }

    FormFields& fields() { return h.form.fields(); }

    FormHarness h;
};

const DialogSettings kSetUp{L"%Programfiles%", L"EXE Files(*.exe)|*.exe", std::int16_t{4}};

TEST_F(SelectFileTest, DialogIsSetUpThenShown) {
    h.world.dialogResult = 1;
    h.world.dialogFileName = L"C:\\Viewer\\pptview.exe";
    h.form.SelectFile();

    EXPECT_EQ(h.world.dialogShownWith, std::vector<DialogSettings>{kSetUp});
    EXPECT_EQ(fields().sViewerPath, L"C:\\Viewer\\pptview.exe");
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
}

TEST_F(SelectFileTest, DialogIsSetUpAgainOnEveryCall) {
    h.form.SelectFile();
    h.world.dialog = {L"C:\\Elsewhere", L"All|*.*", std::int16_t{0}};
    h.form.SelectFile();

    EXPECT_EQ(h.world.dialogShownWith, (std::vector<DialogSettings>{kSetUp, kSetUp}));
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
    EXPECT_TRUE(h.view.IsSelected(ControlId::Option2));
}

TEST_F(SelectFileTest, PathStaysEmptyAfterCancelUntilTheNextCheck) {
    h.world.dialogResult = 0;
    h.form.SelectFile();
    ASSERT_EQ(fields().sViewerPath, L"");

    h.world.files[expected::kViewer2007Path] = L"12.0.1.2";
    h.view.Select(ControlId::Option2);
    h.form.OnOption2Click();
    EXPECT_EQ(fields().sViewerPath, expected::kViewer2007Path);
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
}

} // namespace
} // namespace dovrel::testing
