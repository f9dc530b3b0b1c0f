#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "tests/expected/texts.h"
#include "tests/unit/fakes/form_harness.h"

namespace dovrel::testing {
namespace {

const std::wstring kPath2003 = expected::kViewer2003Path;
const std::wstring kPath2007 = expected::kViewer2007Path;
using expected::kNotFound2003;
using expected::kNotFound2007;

class CheckInstallationTest : public ::testing::Test {
protected:
    void SetUp() override { h.CreateObjects(); }

    // The user selects an option; the toolkit then raises its Click.
    void Choose(ControlId option) {
        h.view.Select(option);
        if (option == ControlId::Option1)
            h.form.OnOption1Click();
        else
            h.form.OnOption2Click();
    }

    FormFields& fields() { return h.form.fields(); }

    FormHarness h;
};

// --- the viewer is where it belongs ---------------------------------------

// Both viewers in place: the selected option alone decides which is used.
TEST_F(CheckInstallationTest, EachViewerAtItsPlaceEnablesFixAndTheOtherIsNotExamined) {
    h.world.files[kPath2003] = L"11.0.8173.0";
    h.world.files[kPath2007] = L"12.0.4518.1014";
    const struct {
        ControlId option;
        std::wstring path, version, otherPath;
    } cases[] = {{ControlId::Option1, kPath2003, L"11.0.8173.0", kPath2007},
                 {ControlId::Option2, kPath2007, L"12.0.4518.1014", kPath2003}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        h.log.calls.clear();
        Choose(c.option);

        EXPECT_EQ(fields().sProgramFiles, L"C:\\Program Files");
        EXPECT_EQ(fields().sViewerPath, c.path);
        EXPECT_EQ(fields().sViewerVersion, c.version);
        EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
        EXPECT_TRUE(h.view.IsSelected(c.option));
        EXPECT_FALSE(h.log.Contains(L"fso.FileExists " + c.otherPath));
        EXPECT_TRUE(h.messageBox.shown.empty());
        EXPECT_TRUE(h.world.dialogShownWith.empty());
    }
}

TEST_F(CheckInstallationTest, ExpandsTheUnexpandedReferenceAndExaminesThePathBuiltFromIt) {
    h.world.environment[L"Programfiles"] = L"D:\\Programme";
    const std::wstring path = L"D:\\Programme\\Microsoft Office\\PowerPoint Viewer\\pptview.exe";
    h.world.files[path] = L"11.0.8173.0";
    Choose(ControlId::Option1);

    EXPECT_TRUE(h.log.Contains(L"shell.ExpandEnvironmentStrings %Programfiles%"));
    EXPECT_EQ(fields().sViewerPath, path);
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
}

// --- which version texts pass ---------------------------------------------

struct VersionCase {
    ControlId option;
    const wchar_t* version;
    bool passes;
};

TEST(CheckInstallationVersion, OnlyTheFirstTwoCharactersAreCompared) {
    const VersionCase cases[] = {
        {ControlId::Option1, L"11", true},
        {ControlId::Option1, L"110.2.3.4", true},
        {ControlId::Option1, L"11.0.8173.0", true},
        {ControlId::Option1, L"1", false},
        {ControlId::Option1, L"", false},
        {ControlId::Option1, L"12.0.4518.1014", false},
        {ControlId::Option1, L" 11.0", false},
        {ControlId::Option2, L"12", true},
        {ControlId::Option2, L"12.0.4518.1014", true},
        {ControlId::Option2, L"11.0.8173.0", false},
        {ControlId::Option2, L"2.12", false},
    };
    for (const VersionCase& c : cases) {
        const bool is2003 = c.option == ControlId::Option1;
        SCOPED_TRACE(std::string(is2003 ? "2003 " : "2007 ") +
                     std::string(c.version, c.version + std::wcslen(c.version)));
        FormHarness h;
        h.CreateObjects();
        h.world.files[is2003 ? kPath2003 : kPath2007] = c.version;
        h.world.dialogResult = 0;
        h.view.Select(c.option);
        h.form.CheckInstallation();

        EXPECT_EQ(h.form.fields().sViewerVersion, c.version);
        EXPECT_EQ(h.view.IsEnabled(ControlId::Command1), c.passes);
        if (c.passes) {
            EXPECT_TRUE(h.messageBox.shown.empty());
        } else {
            ExpectOnlyMessage(h.messageBox,
                              {is2003 ? kNotFound2003 : kNotFound2007, 0, std::nullopt});
        }
    }
}

// --- the viewer is missing or unsuitable ----------------------------------

TEST_F(CheckInstallationTest, MissingViewerIsReportedThenTheDialogOpens) {
    std::wstring pathWhileMessageShown;
    h.messageBox.onShow = [&](const ShownMessage&) {
        pathWhileMessageShown = fields().sViewerPath;
    };
    Choose(ControlId::Option1);

    ExpectOnlyMessage(h.messageBox, {kNotFound2003, 0, std::nullopt});
    EXPECT_EQ(pathWhileMessageShown, kPath2003);
    // The dialog waits until the message is closed.
    EXPECT_LT(h.log.First(L"msgbox "), h.log.First(L"dialog.ShowOpen"));
    EXPECT_EQ(h.world.dialogShownWith.size(), 1u);
    EXPECT_FALSE(h.view.IsEnabled(ControlId::Command1));
}

TEST_F(CheckInstallationTest, MissingViewerThenCancelClearsTheChoice) {
    fields().sViewerVersion = L"from before";
    h.view.enabled[ControlId::Command1] = true;
    Choose(ControlId::Option2);

    ExpectOnlyMessage(h.messageBox, {kNotFound2007, 0, std::nullopt});
    EXPECT_EQ(fields().sViewerPath, L"");
    EXPECT_EQ(fields().sViewerVersion, L"from before");
    EXPECT_FALSE(h.view.IsSelected(ControlId::Option1));
    EXPECT_FALSE(h.view.IsSelected(ControlId::Option2));
    EXPECT_FALSE(h.view.IsEnabled(ControlId::Command1));
    EXPECT_EQ(fields().sProgramFiles, L"C:\\Program Files");
}

TEST_F(CheckInstallationTest, WrongVersionThenChosenFileEnablesFixWithThatPath) {
    h.world.files[kPath2003] = L"12.0.4518.1014";
    h.world.dialogResult = 1;
    h.world.dialogFileName = L"E:\\Viewers\\pptview.exe";
    Choose(ControlId::Option1);

    ExpectOnlyMessage(h.messageBox, {kNotFound2003, 0, std::nullopt});
    EXPECT_EQ(fields().sViewerPath, L"E:\\Viewers\\pptview.exe");
    EXPECT_EQ(fields().sViewerVersion, L"12.0.4518.1014");
    EXPECT_TRUE(h.view.IsSelected(ControlId::Option1));
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
}

TEST_F(CheckInstallationTest, OnlyTheSelectedVersionsPathIsExamined) {
    h.world.files[kPath2003] = L"11.0.8173.0";
    Choose(ControlId::Option2);

    EXPECT_FALSE(h.log.Contains(L"fso.FileExists " + kPath2003));
    ExpectOnlyMessage(h.messageBox, {kNotFound2007, 0, std::nullopt});
}

// --- which option is read --------------------------------------------------

TEST_F(CheckInstallationTest, TheSelectionDecidesNotTheHandler) {
    h.world.files[kPath2007] = L"12.0.4518.1014";
    h.view.Select(ControlId::Option2);
    h.form.OnOption1Click();

    EXPECT_EQ(fields().sViewerPath, kPath2007);
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
}

TEST_F(CheckInstallationTest, NeitherSelectedOnlyEmptiesThePathAndRefreshesProgramFiles) {
    fields().sViewerPath = L"C:\\old\\pptview.exe";
    fields().sProgramFiles = L"C:\\Old Programs";
    h.view.enabled[ControlId::Command1] = true;
    h.form.CheckInstallation();

    EXPECT_EQ(fields().sViewerPath, L"");
    EXPECT_EQ(fields().sProgramFiles, L"C:\\Program Files");
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_FALSE(h.log.Contains(L"fso."));
    EXPECT_TRUE(h.world.dialogShownWith.empty());
}

// --- a later check throws the earlier one away ------------------------------

TEST_F(CheckInstallationTest, SwitchingVersionDiscardsAnEarlierSuccess) {
    h.world.files[kPath2003] = L"11.0.8173.0";
    Choose(ControlId::Option1);
    ASSERT_TRUE(h.view.IsEnabled(ControlId::Command1));

    Choose(ControlId::Option2); // missing, and the user cancels the dialog
    EXPECT_EQ(fields().sViewerPath, L"");
    EXPECT_FALSE(h.view.IsEnabled(ControlId::Command1));
    EXPECT_FALSE(h.view.IsSelected(ControlId::Option1));
    EXPECT_FALSE(h.view.IsSelected(ControlId::Option2));
}

TEST_F(CheckInstallationTest, ProgramFilesIsExpandedAgainOnEveryCheck) {
    h.world.files[kPath2003] = L"11.0.8173.0";
    Choose(ControlId::Option1);
    h.world.environment[L"Programfiles"] = L"D:\\Apps";
    Choose(ControlId::Option1);

    EXPECT_EQ(fields().sProgramFiles, L"D:\\Apps");
    EXPECT_EQ(fields().sViewerPath, L"");
    EXPECT_FALSE(h.view.IsEnabled(ControlId::Command1));
}

} // namespace
} // namespace dovrel::testing
