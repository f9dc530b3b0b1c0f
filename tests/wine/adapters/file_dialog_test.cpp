#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <string>

#include "automation/file_dialog.h"
#include "automation/side_thread.h"
#include "automation/test_files.h"
#include "automation/wait.h"
#include "automation/window_query.h"
#include "automation/wine_paths.h"
#include "expect_raises.h"
#include "owner_window.h"
#include "platform/win32/win32_file_dialog.h"

namespace dovrel {
namespace {

constexpr int kFileTypeBox = 0x470;   // the file-type combo box
constexpr int kReadOnlyCheck = 0x410; // "Open as read-only"

TEST(DialogFilter, BarsBecomeNulsAndTheListEndsWithTwo) {
    EXPECT_EQ(DialogFilterFromBars(L"EXE Files(*.exe)|*.exe"),
              std::wstring(L"EXE Files(*.exe)\0*.exe\0\0", 24));
    EXPECT_EQ(DialogFilterFromBars(L"A|*.a|B|*.b;*.c"),
              std::wstring(L"A\0*.a\0B\0*.b;*.c\0\0", 17));
    EXPECT_EQ(DialogFilterFromBars(L""), std::wstring(L"\0\0", 2));
}

std::wstring Lower(std::wstring text) {
    if (!text.empty())
        CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// Plays the user on a side thread while the dialog runs modally on this one:
// waits for the dialog, notes what it shows, then acts on it.
class DialogUser {
public:
    explicit DialogUser(std::function<void(HWND)> act,
                        DWORD patienceMs = automation::kReactionTimeoutMs)
        : act_(std::move(act)), patienceMs_(patienceMs), thread_([this] { Play(); }) {}

    bool sawDialog = false;
    HWND owner = nullptr;
    std::wstring folder;
    std::wstring fileType;
    bool readOnlyShown = true;

private:
    void Play() {
        HWND dialog = automation::WaitForFileDialog(GetCurrentProcessId(), patienceMs_);
        if (!dialog)
            return;
        Sleep(200); // let the dialog finish filling its controls
        sawDialog = true;
        owner = GetWindow(dialog, GW_OWNER);
        wchar_t path[MAX_PATH] = {};
        SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
        folder = path;
        fileType = automation::TextOf(GetDlgItem(dialog, kFileTypeBox));
        HWND readOnly = GetDlgItem(dialog, kReadOnlyCheck);
        readOnlyShown = readOnly && IsWindowVisible(readOnly);
        act_(dialog);
        // Never leave the test hanging on a dialog that ignored the action.
        if (!automation::WaitUntil([&] { return !IsWindow(dialog); },
                                   automation::kReactionTimeoutMs))
            automation::CancelFileDialog(dialog);
    }

    std::function<void(HWND)> act_;
    DWORD patienceMs_;
    automation::SideThread thread_; // last: starts once the rest is in place
};

class FileDialogAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(owner, nullptr);
        dialog.SetInitialDir(L"%Programfiles%");
        dialog.SetFilter(L"EXE Files(*.exe)|*.exe");
        dialog.SetFlags(4);
    }

    const automation::UniqueWindow ownerWindow_ = MakeOwnerWindow(L"Dovrel dialog owner");
    const HWND owner = ownerWindow_.get();
    Win32FileDialog dialog{owner};
};

TEST_F(FileDialogAdapter, OpensInProgramFilesWithTheFilterAndOwnerAndCancelGivesZero) {
    std::int16_t result = -2;
    {
        DialogUser user(automation::CancelFileDialog);
        result = dialog.ShowOpen();
        ASSERT_TRUE(user.sawDialog);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(Lower(user.folder), Lower(automation::EnvironmentValue(L"ProgramFiles")))
            << "the reference is expanded, so the dialog starts in program files";
        EXPECT_EQ(user.fileType, L"EXE Files(*.exe)");
        EXPECT_EQ(user.owner, owner);
        EXPECT_FALSE(user.readOnlyShown);
    }
    EXPECT_EQ(dialog.FileName(), L"");
}

TEST_F(FileDialogAdapter, ChosenFileIsReportedWhole) {
    // In a folder with spaces and a non-Latin name.
    const automation::ScopedFile file(automation::TempFolder() +
                                      L"\\dovrel dialog \u0444\u0430\u0439\u043b\\pptview.exe");
    DialogUser user([&](HWND dialog) { automation::ChooseFile(dialog, file.path()); });
    EXPECT_NE(dialog.ShowOpen(), 0);
    EXPECT_EQ(dialog.FileName(), file.path());
}

TEST_F(FileDialogAdapter, DialogFailureRaisesInsteadOfCountingAsAChoice) {
    dialog.SetFlags(0x40); // a custom template, but none to be found
    // Cancels the dialog should it open after all.
    DialogUser user(automation::CancelFileDialog, 3000);
    ExpectRaises([&] { dialog.ShowOpen(); }, L"GetOpenFileNameW", L"Common dialog error 0x");
    EXPECT_EQ(dialog.FileName(), L"");
    EXPECT_FALSE(user.sawDialog);
}

} // namespace
} // namespace dovrel
