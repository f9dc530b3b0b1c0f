// Dovrel.exe started from a download folder that holds look-alikes of the
// system DLLs it loads itself and of those that Windows' own code loads by
// bare name, with more in its current directory, and Wine told to prefer a DLL
// beside the program for those names: what Windows does for every DLL that is
// not one of its KnownDLLs. Nothing of theirs may run with the program's
// rights, and the window must work as ever.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "automation/file_dialog.h"
#include "automation/input.h"
#include "automation/process.h"
#include "automation/registry.h"
#include "automation/test_files.h"
#include "automation/wait.h"
#include "automation/window_query.h"
#include "automation/wine_paths.h"
#include "classes_registry.h"
#include "dovrel_under_test.h"
#include "fixtures/fixture_logs.h"
#include "stand_in_browser.h"
#include "tests/expected/texts.h"
#include "viewer_setup.h"

namespace dovrel::e2e {
namespace {

using automation::ScopedFileCopy;

constexpr wchar_t kDownloads[] = L"C:\\dovrel-test\\Downloads";
constexpr wchar_t kCurrentDirectory[] = L"C:\\dovrel-test\\Current";
constexpr wchar_t kChosenViewer[] = L"C:\\dovrel-test\\chosen viewer\\pptview.exe";
// The DLLs the program loads itself, then those the window system, the common
// controls, the dialog and the shell load by bare name. Not ole32, which both
// load: it is one of XP's KnownDLLs, which Wine has no notion of, and Wine's
// imm32 takes it by bare name as the window is first shown, which XP never
// does. Nor Wine's own display driver and COM base, which XP does not have.
const std::vector<std::wstring> kLookalikes{L"comctl32", L"comdlg32", L"shell32",  L"uxtheme",
                                            L"clbcatq",  L"userenv",  L"setupapi", L"apphelp",
                                            L"oleacc",   L"propsys"};

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

// Wine's own switch, for one program: a DLL of these names is taken from the
// program's folder before Wine's builtin one. Wine reads it from the registry
// at each start (its environment variable does not reach a program that a
// Windows program starts).
class ScopedNativeFirst {
public:
    ScopedNativeFirst(const std::wstring& program, const std::vector<std::wstring>& names)
        : programKey_(L"Software\\Wine\\AppDefaults\\" + program) {
        for (const std::wstring& name : names)
            automation::WriteText(HKEY_CURRENT_USER, programKey_ + L"\\DllOverrides", name.c_str(),
                                  L"native,builtin");
    }
    ~ScopedNativeFirst() { automation::DeleteKeyTree(HKEY_CURRENT_USER, programKey_); }
    ScopedNativeFirst(const ScopedNativeFirst&) = delete;
    ScopedNativeFirst& operator=(const ScopedNativeFirst&) = delete;

private:
    std::wstring programKey_;
};

// A copy of `program` in the download folder, look-alikes of `names` there
// and in the current directory, and Wine told to prefer them; all removed
// again, last placed first, when it goes.
class PlantedFolders {
public:
    PlantedFolders(const std::wstring& program, const std::wstring& fileName,
                   const std::vector<std::wstring>& names)
        : programPath_(std::wstring(kDownloads) + L"\\" + fileName), nativeFirst_(fileName, names) {
        Place(program, programPath_);
        for (const wchar_t* folder : {kDownloads, kCurrentDirectory})
            for (const std::wstring& name : names)
                Place(automation::FixturePath(L"lookalike.dll"),
                      std::wstring(folder) + L"\\" + name + L".dll");
    }
    ~PlantedFolders() {
        while (!copies_.empty())
            copies_.pop_back();
    }
    PlantedFolders(const PlantedFolders&) = delete;
    PlantedFolders& operator=(const PlantedFolders&) = delete;

    const std::wstring& programPath() const { return programPath_; }

private:
    void Place(const std::wstring& from, const std::wstring& to) {
        copies_.push_back(std::make_unique<ScopedFileCopy>(from, to));
    }
    std::wstring programPath_;
    ScopedNativeFirst nativeFirst_;
    std::vector<std::unique_ptr<ScopedFileCopy>> copies_;
};

// The proof that the arrangement reproduces the danger: a program that asks
// for a DLL by its bare name gets the look-alike beside it.
TEST(LookalikeDlls, AreLoadedByAProgramThatAsksForThemByBareName) {
    const automation::ScopedLog marks(fixtures::kLookalikeLog);
    const PlantedFolders planted(automation::FixturePath(L"bare_loader.exe"), L"bare_loader.exe",
                                 {L"comctl32"});
    automation::LaunchedProcess loader =
        automation::LaunchedProcess::Start(planted.programPath(), L"", kCurrentDirectory);
    ASSERT_TRUE(loader.WaitForExit(automation::kReactionTimeoutMs).has_value());
    EXPECT_EQ(marks.Lines().size(), 1u);
}

enum class Order { PictureFirst, DialogFirst };

class LookalikesBesideDovrel : public testing::TestWithParam<Order> {
protected:
    void SetUp() override {
        app_ = std::make_unique<DovrelUnderTest>(planted_.programPath(), kCurrentDirectory);
        SetForegroundWindow(app_->session().mainWindow());
        ExpectOnlySystemModules("once the window shows");
    }

    // Every module in the program's process is the program itself or a DLL of
    // the system directory.
    void ExpectOnlySystemModules(const char* when) const {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        for (const std::wstring& module : automation::ModulePathsOf(app_->session().processId()))
            EXPECT_TRUE(SamePath(module, planted_.programPath()) ||
                        SamePath(FolderOf(module), system))
                << testing::PrintToString(module) << " is in the process " << when;
    }
    // Whatever step failed, nothing of a look-alike may have run.
    void TearDown() override {
        SetCursorPos(0, 0);
        app_.reset();
        EXPECT_EQ(marks_.Lines(), std::vector<std::wstring>{}) << "a look-alike DLL was loaded";
    }

    // The pointer rests on the picture until its tip shows.
    void RestOnThePicture() {
        ASSERT_TRUE(automation::MovePointerOnto(app_->Handle(ControlId::Image1)));
        HWND tip = nullptr;
        EXPECT_TRUE(automation::WaitUntil([&] { return (tip = ShownToolTip()) != nullptr; },
                                          automation::kReactionTimeoutMs))
            << "no tool tip on the picture";
        if (tip) {
            EXPECT_EQ(automation::TextOf(tip), L"Click here to donate.");
        }
        SetCursorPos(0, 0);
    }

    HWND ShownToolTip() const {
        return automation::VisibleWindowOf(app_->session().processId(), [](HWND window) {
            return automation::ClassNameOf(window) == L"tooltips_class32";
        });
    }

    // The viewer is not where it belongs: the message, then the dialog, in
    // which the user chooses one.
    void ChooseTheViewerInTheDialog() {
        app_->Press(ControlId::Option1);
        const std::optional<automation::MessageBoxInfo> notFound = app_->WaitForMessageBox();
        ASSERT_TRUE(notFound.has_value()) << "no \"not found\" message";
        app_->Dismiss(*notFound);
        HWND dialog = app_->WaitForFileDialog();
        ASSERT_NE(dialog, nullptr) << "no file dialog";
        automation::ChooseFile(dialog, chosen_.path());
        ASSERT_TRUE(app_->WaitUntilFileDialogCloses());
        EXPECT_TRUE(app_->WaitUntilEnabledIs(ControlId::Command1, true));
    }

    void Repair() {
        ASSERT_TRUE(app_->SetChecked(ControlId::Check2, true));
        app_->Press(ControlId::Command1);
        const std::optional<automation::MessageBoxInfo> box = app_->WaitForMessageBox();
        ASSERT_TRUE(box.has_value()) << "nothing after pressing \"&Fix\"";
        EXPECT_EQ(box->shown(), (automation::ShownBox{expected::kCompleted, expected::kTitle,
                                                      automation::MessageBoxIcon::None}));
        app_->Dismiss(*box);
        const std::optional<RegistryText> command =
            ReadDefaultValue(std::wstring(expected::kShowClass) + L"\\shell\\open\\command");
        ASSERT_TRUE(command.has_value());
        EXPECT_EQ(command->text, QuotedOpenCommand(chosen_.path()));
    }

    void FollowTheLinks() {
        automation::PostButtonClick(app_->Handle(ControlId::Command2));
        automation::PostStaticClick(app_->Handle(ControlId::Image1));
        automation::PostStaticClick(app_->Handle(ControlId::Label3));
        EXPECT_TRUE(automation::WaitUntil([&] { return browser_.log.Lines().size() == 3; },
                                          automation::kReactionTimeoutMs))
            << browser_.log.Lines().size() << " of the three addresses reached the browser";
    }

    automation::ScopedLog marks_{fixtures::kLookalikeLog};
    StandInBrowser browser_;
    ScopedAbsentKeys associations_{AssociationKeys()};
    automation::ScopedAbsentFile noViewer2003_{StandardPlaceOf(kViewer2003)};
    ScopedFileCopy chosen_{StandInOf(kViewer2003), kChosenViewer};
    PlantedFolders planted_{automation::DovrelExePath(), L"Dovrel.exe", kLookalikes};
    std::unique_ptr<DovrelUnderTest> app_;
};

TEST_P(LookalikesBesideDovrel, NeverRunWhateverTheWindowDoes) {
    const auto picture = [&] {
        ASSERT_NO_FATAL_FAILURE(RestOnThePicture());
        ExpectOnlySystemModules("after the picture's tool tip");
    };
    const auto dialog = [&] {
        ASSERT_NO_FATAL_FAILURE(ChooseTheViewerInTheDialog());
        ExpectOnlySystemModules("after the file dialog");
    };
    if (GetParam() == Order::PictureFirst) {
        ASSERT_NO_FATAL_FAILURE(picture());
        ASSERT_NO_FATAL_FAILURE(dialog());
    } else {
        ASSERT_NO_FATAL_FAILURE(dialog());
        ASSERT_NO_FATAL_FAILURE(picture());
    }
    ASSERT_NO_FATAL_FAILURE(Repair());
    ExpectOnlySystemModules("after the repair");
    FollowTheLinks();
    ExpectOnlySystemModules("after the links");
    EXPECT_TRUE(app_->session().IsRunning());
}

INSTANTIATE_TEST_SUITE_P(Orders, LookalikesBesideDovrel,
                         testing::Values(Order::PictureFirst, Order::DialogFirst),
                         [](const testing::TestParamInfo<Order>& info) {
                             return std::string(info.param == Order::PictureFirst ? "PictureFirst"
                                                                                  : "DialogFirst");
                         });

} // namespace
} // namespace dovrel::e2e
