// Dovrel.exe started from a download folder that holds a look-alike of every
// DLL of the system directory that its process may load by bare name, with
// more in its current directory, and Wine told to prefer a DLL beside the
// program for those names: what Windows does for every DLL that is not one of
// its KnownDLLs. Nothing of theirs may run with the program's rights, and the
// window must work as ever.
#include <gtest/gtest.h>

#include <algorithm>
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
// Long enough for a window under a resting pointer to draw what it shows then.
constexpr DWORD kPointerRestMs = 500;
// XP's KnownDLLs (the Session Manager's KnownDLLs key as XP SP2 and SP3 ship
// it): XP maps them from its system directory whatever lies beside a program,
// so no look-alike of them is ever loaded there. Wine has no such notion.
const std::vector<std::wstring> kXpKnownDlls{
    L"advapi32", L"comdlg32", L"gdi32",    L"imagehlp", L"kernel32", L"lz32",   L"ole32",
    L"oleaut32", L"olecli32", L"olecnv32", L"olesvr32", L"olethk32", L"rpcrt4", L"shell32",
    L"url",      L"urlmon",   L"user32",   L"version",  L"wininet",  L"wldap32"};
// What Wine's loader puts into the program's process before any of its code
// runs (WINEDEBUG=+loaddll of a start: the program's imports and theirs, and
// the input methods user32 loads as it starts). Only the system could keep a
// look-alike of these out, never the program.
const std::vector<std::wstring> kLoadedBeforeTheProgram{
    L"ntdll", L"kernelbase", L"msvcrt", L"ucrtbase", L"sechost", L"zlib1", L"win32u", L"imm32"};
// Names the program leaves to Wine, though they come after its code starts
// (each is explained beside the list of preloaded DLLs): Wine's display driver,
// which its user32 loads by bare name for the first thing drawn, and Wine's
// COM base, which ole32 imports as Wine's imm32 brings ole32 in when the window
// is first activated, and the structured storage that Wine 10's ole32 also
// imports (coml2). Planted, each look-alike is loaded by the
// time the window shows. XP has none of them: its ole32 is a KnownDLL, and so
// are its imports.
const std::vector<std::wstring> kLeftToWine{L"winex11.drv", L"combase", L"coml2"};

// Every DLL of the system directory that code in a GUI process may load by
// bare name: all but the names above, as Wine's DLL switch names them (a .dll
// without its extension).
std::vector<std::wstring> LookalikeNames() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::vector<std::wstring> names;
    for (const wchar_t* pattern : {L"\\*.dll", L"\\*.drv"}) {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((std::wstring(system) + pattern).c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more;
             more = FindNextFileW(search, &found)) {
            std::wstring name = found.cFileName;
            CharLowerW(&name[0]);
            if (name.size() > 4 && name.compare(name.size() - 4, 4, L".dll") == 0)
                name.resize(name.size() - 4);
            names.push_back(name);
        }
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
    }
    for (const auto* excluded : {&kXpKnownDlls, &kLoadedBeforeTheProgram, &kLeftToWine})
        for (const std::wstring& name : *excluded)
            if (name != L"comdlg32" && name != L"shell32") // the program's own loads, by full path
                names.erase(std::remove(names.begin(), names.end(), name), names.end());
    return names;
}

// The file name of a DLL named as Wine's DLL switch names it.
std::wstring FileNameOf(const std::wstring& name) {
    return name.find(L'.') == std::wstring::npos ? name + L".dll" : name;
}

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
                      std::wstring(folder) + L"\\" + FileNameOf(name));
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
    static void SetUpTestSuite() {
        planted_ = std::make_unique<PlantedFolders>(automation::DovrelExePath(), L"Dovrel.exe",
                                                    LookalikeNames());
    }
    static void TearDownTestSuite() { planted_.reset(); }

    void SetUp() override {
        app_ = std::make_unique<DovrelUnderTest>(planted_->programPath(), kCurrentDirectory);
        SetForegroundWindow(app_->session().mainWindow());
        ExpectOnlySystemModules("once the window shows");
    }

    // Every module in the program's process is the program itself or a DLL of
    // the system directory.
    void ExpectOnlySystemModules(const char* when) const {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        for (const std::wstring& module : automation::ModulePathsOf(app_->session().processId()))
            EXPECT_TRUE(SamePath(module, planted_->programPath()) ||
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

    // The viewer is not where it belongs: the message, then the dialog, on
    // whose list the pointer rests a moment (Wine's theme then blends the item
    // under it) before the user chooses one.
    void ChooseTheViewerInTheDialog() {
        app_->Press(ControlId::Option1);
        const std::optional<automation::MessageBoxInfo> notFound = app_->WaitForMessageBox();
        ASSERT_TRUE(notFound.has_value()) << "no \"not found\" message";
        app_->Dismiss(*notFound);
        HWND dialog = app_->WaitForFileDialog();
        ASSERT_NE(dialog, nullptr) << "no file dialog";
        ASSERT_TRUE(automation::MovePointerOnto(dialog));
        Sleep(kPointerRestMs);
        SetCursorPos(0, 0);
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
    // Once for both orders: placing and removing a thousand files takes seconds.
    static inline std::unique_ptr<PlantedFolders> planted_;
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
