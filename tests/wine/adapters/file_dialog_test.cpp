#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <memory>
#include <string>

#include "dialog_windows.h"
#include "platform/platform_error.h"
#include "platform/win32/win32_file_dialog.h"

namespace dovrel {
namespace {

constexpr int kFileNameBox = 0x47C;   // the file-name combo box of the open dialog
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

// Plays the user on a second thread while the dialog runs modally on this one.
// What it saw is kept for the test to check afterwards.
class DialogUser {
public:
    // Waits up to `patience` milliseconds for the dialog to appear.
    explicit DialogUser(std::function<void(HWND)> act, int patience = 10000)
        : act_(std::move(act)), patience_(patience) {
        thread_ = CreateThread(nullptr, 0, &DialogUser::Run, this, 0, nullptr);
    }
    ~DialogUser() {
        if (thread_) {
            WaitForSingleObject(thread_, 30000);
            CloseHandle(thread_);
        }
    }
    DialogUser(const DialogUser&) = delete;
    DialogUser& operator=(const DialogUser&) = delete;

    bool sawDialog = false;
    HWND owner = nullptr;
    std::wstring folder;
    std::wstring fileType;
    bool readOnlyShown = true;

private:
    static DWORD WINAPI Run(void* self) {
        static_cast<DialogUser*>(self)->Play();
        return 0;
    }

    void Play() {
        HWND dialog = nullptr;
        for (int waited = 0; waited < patience_ && !dialog; waited += 50) {
            Sleep(50);
            dialog = testing::VisibleDialogOfThisProcess(kFileNameBox);
        }
        if (!dialog)
            return;
        Sleep(200); // let the dialog finish filling its controls
        sawDialog = true;
        owner = GetWindow(dialog, GW_OWNER);
        wchar_t text[MAX_PATH] = {};
        SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(text));
        folder = text;
        wchar_t type[MAX_PATH] = {};
        GetWindowTextW(GetDlgItem(dialog, kFileTypeBox), type, MAX_PATH);
        fileType = type;
        HWND readOnly = GetDlgItem(dialog, kReadOnlyCheck);
        readOnlyShown = readOnly && IsWindowVisible(readOnly);
        act_(dialog);
        // Never leave the test hanging on a dialog that ignored the action.
        for (int i = 0; i < 100 && IsWindow(dialog); ++i)
            Sleep(50);
        if (IsWindow(dialog))
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }

    std::function<void(HWND)> act_;
    int patience_;
    HANDLE thread_ = nullptr;
};

void Cancel(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

std::function<void(HWND)> TypeAndOpen(const std::wstring& path) {
    return [path](HWND dialog) {
        HWND edit = FindWindowExW(GetDlgItem(dialog, kFileNameBox), nullptr, L"Edit", nullptr);
        SendMessageW(edit ? edit : GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    };
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
        DialogUser user(Cancel);
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
    dialog->SetFlags(0x40);        // a custom template, but none to be found
    DialogUser user(Cancel, 3000); // cancels the dialog should it open after all
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
