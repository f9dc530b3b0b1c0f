// The main job, end to end: the real Dovrel.exe finds (or is shown) a stand-in
// viewer, "&Fix" writes the associations into the prefix's registry, and the
// shell then opens slide shows and presentations with that viewer.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/file_dialog.h"
#include "automation/test_files.h"
#include "automation/wait.h"
#include "automation/wine_paths.h"
#include "classes_registry.h"
#include "dovrel_under_test.h"
#include "fixtures/fixture_logs.h"
#include "platform/win32/system_text.h"
#include "tests/expected/texts.h"
#include "viewer_setup.h"

namespace dovrel::e2e {
namespace {

using Icon = automation::MessageBoxIcon;
using automation::MessageBoxInfo;
using automation::ScopedFileCopy;
using automation::ShownBox;

constexpr DWORD kViewerRunTimeoutMs = 20000;

// The keys of one file type that a repair writes.
struct FileTypeKeys {
    const wchar_t* extension;
    const wchar_t* className;
};
constexpr FileTypeKeys kSlideShow{L".pps", expected::kSlideShowClass};
constexpr FileTypeKeys kPresentation{L".ppt", expected::kShowClass};

std::wstring VerbKey(const FileTypeKeys& type) {
    return std::wstring(type.className) + L"\\shell";
}
std::wstring CommandKey(const FileTypeKeys& type) {
    return std::wstring(type.className) + L"\\shell\\open\\command";
}

constexpr wchar_t kSlideShowDocument[] = L"C:\\some folder\\a b.pps";
constexpr wchar_t kPresentationDocument[] = L"C:\\some folder\\a b.ppt";
constexpr wchar_t kChosenViewer[] = L"C:\\dovrel-test\\chosen viewer\\pptview.exe";

std::wstring NotFoundMessage(const ViewerVersionCase& version) {
    return std::wstring(version.notFoundLine) + L"\n\n" + expected::kLocateLine;
}

// The line a stand-in viewer logs when the shell opens `document` with it.
std::wstring ViewerLogLine(const ViewerVersionCase& version, const std::wstring& viewerPath,
                           const std::wstring& document) {
    return version.logTag + (L"\"" + viewerPath + L"\" \"" + document + L"\"");
}

// "HKCR\.pps" for messages; the key names here are plain ASCII.
std::string KeyName(const std::wstring& key) {
    std::string name = "HKCR\\";
    for (wchar_t c : key)
        name += static_cast<char>(c);
    return name;
}

testing::AssertionResult HoldsText(const std::wstring& key, const std::wstring& expected) {
    const std::optional<RegistryText> value = ReadDefaultValue(key);
    if (!value)
        return testing::AssertionFailure() << KeyName(key) << " has no default value";
    if (value->type != REG_SZ)
        return testing::AssertionFailure()
               << KeyName(key) << " is of registry type " << value->type;
    if (value->text != expected)
        return testing::AssertionFailure()
               << KeyName(key) << " holds " << testing::PrintToString(value->text) << ", not "
               << testing::PrintToString(expected);
    return testing::AssertionSuccess();
}

// All three values of a repaired type, each the only value of its key.
void ExpectRepaired(const FileTypeKeys& type, const std::wstring& viewerPath) {
    SCOPED_TRACE(KeyName(type.extension));
    EXPECT_TRUE(HoldsText(type.extension, type.className));
    EXPECT_TRUE(HoldsText(VerbKey(type), L"open"));
    EXPECT_TRUE(HoldsText(CommandKey(type), QuotedOpenCommand(viewerPath)));
    for (const std::wstring& key : {std::wstring(type.extension), VerbKey(type), CommandKey(type)})
        EXPECT_EQ(ValueNamesOf(key), std::vector<std::wstring>{L""}) << KeyName(key);
}

void ExpectUntouched(const FileTypeKeys& type) {
    SCOPED_TRACE(KeyName(type.extension));
    EXPECT_FALSE(KeyExists(type.extension));
    EXPECT_FALSE(KeyExists(type.className));
}

// Each test starts from a registry without the associations, with no viewer
// at either standard place and empty logs, and leaves it so.
class Repair : public testing::Test {
protected:
    void TearDown() override {
        app_.reset();
        // Last placed, first removed: a folder shared by two copies goes with the first.
        while (!placed_.empty())
            placed_.pop_back();
    }

    void Start() { app_ = std::make_unique<DovrelUnderTest>(); }

    // Copies a stand-in viewer to `where` for this test; answers `where`.
    std::wstring Place(const std::wstring& standIn, const std::wstring& where) {
        placed_.push_back(std::make_unique<ScopedFileCopy>(standIn, where));
        return where;
    }
    std::wstring PlaceAtStandardPlace(const ViewerVersionCase& version) {
        return Place(StandInOf(version), StandardPlaceOf(version));
    }

    // Selects a version whose viewer is in place: "&Fix" becomes enabled and
    // nothing is said.
    void SelectFoundVersion(const ViewerVersionCase& version) {
        app_->Press(version.option);
        ASSERT_TRUE(app_->WaitUntilEnabledIs(ControlId::Command1, true))
            << "selecting " << version.name << " did not enable \"&Fix\"";
        EXPECT_FALSE(app_->ShowsAMessageBoxSoon()) << "a found viewer needs no message";
        EXPECT_EQ(app_->CheckState(version.option), std::optional<int>(BST_CHECKED));
    }

    // Selects a version whose viewer is not usable: the "not found" message,
    // read and closed here, then the file-open dialog, which is returned.
    HWND SelectVersionNotFound(const ViewerVersionCase& version) {
        app_->Press(version.option);
        const std::optional<MessageBoxInfo> box = app_->WaitForMessageBox();
        if (!box) {
            ADD_FAILURE() << "no message after selecting " << version.name;
            return nullptr;
        }
        EXPECT_EQ(box->shown(),
                  (ShownBox{NotFoundMessage(version), expected::kUntitledBoxTitle, Icon::None}));
        EXPECT_EQ(app_->session().WaitForFileDialog(0), nullptr)
            << "the dialog must wait until the message is closed";
        app_->Dismiss(*box);
        HWND dialog = app_->WaitForFileDialog();
        EXPECT_NE(dialog, nullptr) << "no file-open dialog after the message";
        return dialog;
    }

    // As above, then the user chooses `viewer` in the dialog: "&Fix" comes on.
    void ChooseViewerNotFound(const ViewerVersionCase& version, const std::wstring& viewer) {
        HWND dialog = SelectVersionNotFound(version);
        ASSERT_NE(dialog, nullptr);
        automation::ChooseFile(dialog, viewer);
        ASSERT_TRUE(app_->WaitUntilFileDialogCloses());
        ASSERT_TRUE(app_->WaitUntilEnabledIs(ControlId::Command1, true));
    }

    // Ticks both types, presses "&Fix" and closes "Completed!".
    void RepairBothTypes() {
        ASSERT_TRUE(app_->SetChecked(ControlId::Check1, true));
        ASSERT_TRUE(app_->SetChecked(ControlId::Check2, true));
        app_->Press(ControlId::Command1);
        const std::optional<MessageBoxInfo> box = app_->WaitForMessageBox();
        ASSERT_TRUE(box.has_value()) << "no message after pressing \"&Fix\"";
        EXPECT_EQ(box->shown(), (ShownBox{expected::kCompleted, expected::kTitle, Icon::None}));
        EXPECT_FALSE(app_->IsEnabled(ControlId::Command1)) << "while \"Completed!\" is shown";
        app_->Dismiss(*box);
    }

    // Ticks the presentation type too, presses "&Fix" and closes the message
    // that the registry refused to write `valuePath`.
    void FixRefusedAt(const std::wstring& valuePath) {
        ASSERT_TRUE(app_->SetChecked(ControlId::Check2, true));
        app_->Press(ControlId::Command1);
        const std::optional<MessageBoxInfo> box = app_->WaitForMessageBox();
        ASSERT_TRUE(box.has_value()) << "no message about the refused write";
        EXPECT_EQ(
            box->shown(),
            (ShownBox{expected::NotSavedMessage(valuePath, SystemErrorText(ERROR_ACCESS_DENIED)),
                      expected::kTitle, Icon::Critical}));
        app_->Dismiss(*box);
    }

    ScopedAbsentKeys associations_{{kSlideShow.extension, kSlideShow.className,
                                    kPresentation.extension, kPresentation.className}};
    automation::ScopedLog viewerLog_{fixtures::kViewerLog};
    automation::ScopedLog trapLog_{fixtures::kTrapLog};
    automation::ScopedAbsentFile noViewer2003_{StandardPlaceOf(kViewer2003)};
    automation::ScopedAbsentFile noViewer2007_{StandardPlaceOf(kViewer2007)};
    std::vector<std::unique_ptr<ScopedFileCopy>> placed_;
    std::unique_ptr<DovrelUnderTest> app_;
};

std::string VersionTestName(const testing::TestParamInfo<ViewerVersionCase>& info) {
    return info.param.name;
}

// ---- A viewer at its standard place ----

class FoundViewer : public Repair, public testing::WithParamInterface<ViewerVersionCase> {};

TEST_P(FoundViewer, FixWritesBothTypesAndReportsCompletion) {
    const ViewerVersionCase& version = GetParam();
    const std::wstring viewer = PlaceAtStandardPlace(version);
    Start();
    ASSERT_NO_FATAL_FAILURE(SelectFoundVersion(version));

    ASSERT_NO_FATAL_FAILURE(RepairBothTypes());

    ExpectRepaired(kSlideShow, viewer);
    ExpectRepaired(kPresentation, viewer);
    EXPECT_FALSE(app_->IsEnabled(ControlId::Command1));
    EXPECT_EQ(app_->CheckState(version.option), std::optional<int>(BST_CHECKED));
    EXPECT_FALSE(app_->ShowsAMessageBoxSoon());
    EXPECT_TRUE(app_->session().IsRunning());
}

TEST_P(FoundViewer, ShellThenOpensDocumentsWithSpacesInTheViewerNotInATrap) {
    const ViewerVersionCase& version = GetParam();
    const std::wstring viewer = PlaceAtStandardPlace(version);
    const ScopedDocument slideShow(kSlideShowDocument);
    const ScopedDocument presentation(kPresentationDocument);
    Start();
    ASSERT_NO_FATAL_FAILURE(SelectFoundVersion(version));
    ASSERT_NO_FATAL_FAILURE(RepairBothTypes());

    // Where an unquoted command would look before it reaches the viewer.
    const ScopedFileCopy trapAtProgram(automation::FixturePath(L"trap.exe"), L"C:\\Program.exe");
    const ScopedFileCopy trapAtMicrosoft(automation::FixturePath(L"trap.exe"),
                                         ProgramFiles() + L"\\Microsoft.exe");
    EXPECT_TRUE(OpenWithShell(slideShow.path(), kViewerRunTimeoutMs));
    EXPECT_TRUE(OpenWithShell(presentation.path(), kViewerRunTimeoutMs));

    EXPECT_EQ(viewerLog_.Lines(),
              (std::vector<std::wstring>{ViewerLogLine(version, viewer, slideShow.path()),
                                         ViewerLogLine(version, viewer, presentation.path())}));
    EXPECT_EQ(trapLog_.Lines(), std::vector<std::wstring>{}) << "a trap ran instead of the viewer";
}

INSTANTIATE_TEST_SUITE_P(Versions, FoundViewer, testing::Values(kViewer2003, kViewer2007),
                         VersionTestName);

// Proof that the trap check above can fail: the command as an unquoted path
// would have it runs the trap.
TEST_F(Repair, TrapRunsWhenTheViewerPathIsNotQuoted) {
    const std::wstring viewer = PlaceAtStandardPlace(kViewer2003);
    const ScopedDocument slideShow(kSlideShowDocument);
    const ScopedFileCopy trapAtProgram(automation::FixturePath(L"trap.exe"), L"C:\\Program.exe");
    WriteDefaultValue(CommandKey(kSlideShow), viewer + L" \"%1\"");
    WriteDefaultValue(kSlideShow.extension, kSlideShow.className);

    OpenWithShell(slideShow.path(), kViewerRunTimeoutMs);

    EXPECT_TRUE(automation::WaitUntil([&] { return !trapLog_.Lines().empty(); },
                                      automation::kStartTimeoutMs));
    EXPECT_EQ(viewerLog_.Lines(), std::vector<std::wstring>{});
}

TEST_F(Repair, SecondRepairWithTheOtherViewerLeavesThePresentationCommandAlone) {
    const std::wstring viewer2003 = PlaceAtStandardPlace(kViewer2003);
    const std::wstring viewer2007 = PlaceAtStandardPlace(kViewer2007);
    const ScopedDocument slideShow(kSlideShowDocument);
    const ScopedDocument presentation(kPresentationDocument);
    Start();
    ASSERT_NO_FATAL_FAILURE(SelectFoundVersion(kViewer2003));
    ASSERT_NO_FATAL_FAILURE(RepairBothTypes());

    ASSERT_NO_FATAL_FAILURE(SelectFoundVersion(kViewer2007));
    EXPECT_EQ(app_->CheckState(kViewer2003.option), std::optional<int>(BST_UNCHECKED));
    ASSERT_NO_FATAL_FAILURE(RepairBothTypes());

    ExpectRepaired(kSlideShow, viewer2007);
    ExpectRepaired(kPresentation, viewer2003);
    EXPECT_TRUE(OpenWithShell(slideShow.path(), kViewerRunTimeoutMs));
    EXPECT_TRUE(OpenWithShell(presentation.path(), kViewerRunTimeoutMs));
    EXPECT_EQ(
        viewerLog_.Lines(),
        (std::vector<std::wstring>{ViewerLogLine(kViewer2007, viewer2007, slideShow.path()),
                                   ViewerLogLine(kViewer2003, viewer2003, presentation.path())}));
}

// ---- The presentation class already has an open command ----

class ExistingPresentationCommand : public Repair,
                                    public testing::WithParamInterface<const wchar_t*> {};

TEST_P(ExistingPresentationCommand, IsKeptAndOnlySlideShowsAreRepaired) {
    const std::wstring existing = GetParam();
    WriteDefaultValue(CommandKey(kPresentation), existing);
    const std::wstring viewer = PlaceAtStandardPlace(kViewer2003);
    Start();
    ASSERT_NO_FATAL_FAILURE(SelectFoundVersion(kViewer2003));

    ASSERT_NO_FATAL_FAILURE(RepairBothTypes());

    ExpectRepaired(kSlideShow, viewer);
    EXPECT_TRUE(HoldsText(CommandKey(kPresentation), existing));
    EXPECT_FALSE(ReadDefaultValue(VerbKey(kPresentation)).has_value());
    EXPECT_FALSE(KeyExists(kPresentation.extension)) << "not even \"HKCR\\.ppt\\\" is written";
}

INSTANTIATE_TEST_SUITE_P(Commands, ExistingPresentationCommand,
                         testing::Values(L"\"C:\\Other Viewer\\show.exe\" \"%1\"", L""),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             return std::string(*info.param ? "SomeProgram" : "EmptyText");
                         });

// ---- No usable viewer at the standard place ----

// What stands at the selected version's standard place.
struct NotFoundCase {
    const char* name;
    ViewerVersionCase version;
    const wchar_t* standInThere; // nullptr: nothing
};

void PrintTo(const NotFoundCase& c, std::ostream* out) {
    *out << c.name;
}

class ViewerNotFound : public Repair, public testing::WithParamInterface<NotFoundCase> {
protected:
    void SetUp() override {
        if (GetParam().standInThere)
            Place(automation::FixturePath(GetParam().standInThere),
                  StandardPlaceOf(GetParam().version));
    }
};

TEST_P(ViewerNotFound, MessageThenCancellingTheDialogClearsTheChoice) {
    const ViewerVersionCase& version = GetParam().version;
    Start();

    HWND dialog = SelectVersionNotFound(version);
    ASSERT_NE(dialog, nullptr);
    automation::CancelFileDialog(dialog);
    ASSERT_TRUE(app_->WaitUntilFileDialogCloses());

    EXPECT_TRUE(automation::WaitUntil(
        [&] { return app_->CheckState(version.option) == std::optional<int>(BST_UNCHECKED); },
        automation::kReactionTimeoutMs));
    EXPECT_EQ(app_->CheckState(ControlId::Option1), std::optional<int>(BST_UNCHECKED));
    EXPECT_EQ(app_->CheckState(ControlId::Option2), std::optional<int>(BST_UNCHECKED));
    EXPECT_FALSE(app_->IsEnabled(ControlId::Command1));
    EXPECT_FALSE(app_->ShowsAMessageBoxSoon());
    ExpectUntouched(kSlideShow);
    ExpectUntouched(kPresentation);
}

TEST_P(ViewerNotFound, ChosenFileEnablesFixAndTheRepairPointsAtIt) {
    const ViewerVersionCase& version = GetParam().version;
    const std::wstring chosen = Place(StandInOf(version), kChosenViewer);
    const ScopedDocument slideShow(kSlideShowDocument);
    Start();

    ASSERT_NO_FATAL_FAILURE(ChooseViewerNotFound(version, chosen));
    EXPECT_EQ(app_->CheckState(version.option), std::optional<int>(BST_CHECKED));
    EXPECT_FALSE(app_->ShowsAMessageBoxSoon());

    ASSERT_NO_FATAL_FAILURE(RepairBothTypes());

    ExpectRepaired(kSlideShow, chosen);
    ExpectRepaired(kPresentation, chosen);
    EXPECT_TRUE(OpenWithShell(slideShow.path(), kViewerRunTimeoutMs));
    EXPECT_EQ(viewerLog_.Lines(),
              std::vector<std::wstring>{ViewerLogLine(version, chosen, slideShow.path())});
}

INSTANTIATE_TEST_SUITE_P(
    Places, ViewerNotFound,
    testing::Values(NotFoundCase{"Missing2003", kViewer2003, nullptr},
                    NotFoundCase{"Missing2007", kViewer2007, nullptr},
                    NotFoundCase{"Version12At2003Place", kViewer2003, kViewer2007.standIn},
                    NotFoundCase{"Version11At2007Place", kViewer2007, kViewer2003.standIn}),
    [](const testing::TestParamInfo<NotFoundCase>& info) { return std::string(info.param.name); });

// A folder named as a browser leaves a download with an encoded space: the
// shell would read "%2" in the path as a placeholder, so the command names the
// viewer by its short path, and opening a slide show still reaches the viewer.
TEST_F(Repair, AViewerInAFolderWithAPerCentSignIsRegisteredByItsShortPath) {
    const std::wstring chosen =
        Place(StandInOf(kViewer2003), L"C:\\dovrel-test\\PowerPoint%20Viewer\\pptview.exe");
    wchar_t shortForm[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(chosen.c_str(), shortForm, MAX_PATH), 0u);
    ASSERT_EQ(std::wstring(shortForm).find(L'%'), std::wstring::npos) << "no short names here";
    const ScopedDocument slideShow(kSlideShowDocument);
    Start();

    ASSERT_NO_FATAL_FAILURE(ChooseViewerNotFound(kViewer2003, chosen));
    ASSERT_NO_FATAL_FAILURE(RepairBothTypes());

    ExpectRepaired(kSlideShow, shortForm);
    ExpectRepaired(kPresentation, shortForm);
    EXPECT_TRUE(OpenWithShell(slideShow.path(), kViewerRunTimeoutMs));
    EXPECT_EQ(viewerLog_.Lines(),
              std::vector<std::wstring>{ViewerLogLine(kViewer2003, shortForm, slideShow.path())});
}

// ---- A write the registry refuses ----

TEST_F(Repair, RefusedWriteIsReportedKeepsEarlierWritesAndFixCanBePressedAgain) {
    auto refusal = std::make_unique<ScopedWriteRefusal>(kSlideShow.extension);
    const std::wstring viewer = PlaceAtStandardPlace(kViewer2003);
    Start();
    ASSERT_NO_FATAL_FAILURE(SelectFoundVersion(kViewer2003));

    ASSERT_NO_FATAL_FAILURE(FixRefusedAt(L"HKCR\\.pps\\"));

    EXPECT_TRUE(app_->session().IsRunning());
    EXPECT_TRUE(app_->IsEnabled(ControlId::Command1));
    EXPECT_FALSE(app_->ShowsAMessageBoxSoon()) << "no \"Completed!\" after a refused write";
    EXPECT_TRUE(HoldsText(CommandKey(kSlideShow), QuotedOpenCommand(viewer)));
    EXPECT_TRUE(HoldsText(VerbKey(kSlideShow), L"open"));
    EXPECT_FALSE(ReadDefaultValue(kSlideShow.extension).has_value());
    ExpectUntouched(kPresentation);

    refusal->Lift();
    ASSERT_NO_FATAL_FAILURE(RepairBothTypes());
    ExpectRepaired(kSlideShow, viewer);
    ExpectRepaired(kPresentation, viewer);
}

// The first press wrote the presentation command before the refusal; had it
// stayed, the next press would skip the presentation type.
TEST_F(Repair, PresentationRefusedThenFixAfterARestartCompletesAllSixValues) {
    auto refusal = std::make_unique<ScopedWriteRefusal>(kPresentation.extension);
    const std::wstring viewer = PlaceAtStandardPlace(kViewer2003);
    Start();
    ASSERT_NO_FATAL_FAILURE(SelectFoundVersion(kViewer2003));
    ASSERT_NO_FATAL_FAILURE(FixRefusedAt(L"HKCR\\.ppt\\"));
    EXPECT_EQ(app_->session().Close(automation::kReactionTimeoutMs), std::optional<DWORD>(0));
    app_.reset();

    refusal->Lift();
    Start();
    ASSERT_NO_FATAL_FAILURE(SelectFoundVersion(kViewer2003));
    ASSERT_NO_FATAL_FAILURE(RepairBothTypes());
    ExpectRepaired(kSlideShow, viewer);
    ExpectRepaired(kPresentation, viewer);
}

} // namespace
} // namespace dovrel::e2e
