#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <memory>
#include <string>

#include "automation/file_dialog.h"
#include "automation/side_thread.h"
#include "automation/wait.h"
#include "automation/window_query.h"
#include "platform/platform_error.h"
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

std::function<void(HWND)> TypeAndOpen(const std::wstring& path) {
    return [path](HWND dialog) { automation::ChooseFile(dialog, path); };
}

std::wstring ProgramFiles() {
    wchar_t path[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ProgramFiles", path, MAX_PATH);
    return path;
}

// A folder with spaces and a non-Latin name, holding an executable-named file.
class ChoosableFile {
public:
    ChoosableFile() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"dovrel dialog \u0444\u0430\u0439\u043b";
        CreateDirectoryW(folder_.c_str(), nullptr);
        path_ = folder_ + L"\\pptview.exe";
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        created_ = file != INVALID_HANDLE_VALUE;
        if (created_)
            CloseHandle(file);
    }
    ~ChoosableFile() {
        DeleteFileW(path_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    const std::wstring& path() const { return path_; }
    bool created() const { return created_; }

private:
    std::wstring folder_;
    std::wstring path_;
    bool created_ = false;
};

class FileDialogAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CreateWindowExW(0, L"STATIC", L"Dovrel dialog owner", WS_OVERLAPPEDWINDOW, 0, 0,
                                200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(owner, nullptr);
        dialog = std::make_unique<Win32FileDialog>(owner);
        dialog->SetInitialDir(L"%Programfiles%");
        dialog->SetFilter(L"EXE Files(*.exe)|*.exe");
        dialog->SetFlags(4);
    }
    void TearDown() override {
        dialog.reset();
        DestroyWindow(owner);
    }

    HWND owner = nullptr;
    std::unique_ptr<Win32FileDialog> dialog;
};

TEST_F(FileDialogAdapter, OpensInProgramFilesWithTheFilterAndOwnerAndCancelGivesZero) {
    std::int16_t result = -2;
    {
        DialogUser user(automation::CancelFileDialog);
        result = dialog->ShowOpen();
        ASSERT_TRUE(user.sawDialog);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(Lower(user.folder), Lower(ProgramFiles()))
            << "the reference is expanded, so the dialog starts in program files";
        EXPECT_EQ(user.fileType, L"EXE Files(*.exe)");
        EXPECT_EQ(user.owner, owner);
        EXPECT_FALSE(user.readOnlyShown);
    }
    EXPECT_EQ(dialog->FileName(), L"");
}

TEST_F(FileDialogAdapter, ChosenFileIsReportedWhole) {
    ChoosableFile file;
    ASSERT_TRUE(file.created());
    DialogUser user(TypeAndOpen(file.path()));
    EXPECT_NE(dialog->ShowOpen(), 0);
    EXPECT_EQ(dialog->FileName(), file.path());
}

TEST_F(FileDialogAdapter, DialogFailureRaisesInsteadOfCountingAsAChoice) {
    dialog->SetFlags(0x40); // a custom template, but none to be found
    // Cancels the dialog should it open after all.
    DialogUser user(automation::CancelFileDialog, 3000);
    try {
        dialog->ShowOpen();
        ADD_FAILURE() << "no PlatformError raised";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.operation(), L"GetOpenFileNameW");
        EXPECT_EQ(error.reason().rfind(L"Common dialog error 0x", 0), 0u);
    }
    EXPECT_EQ(dialog->FileName(), L"");
    EXPECT_FALSE(user.sawDialog);
}

} // namespace
} // namespace dovrel
