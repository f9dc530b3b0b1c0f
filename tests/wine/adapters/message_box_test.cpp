#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "dialog_windows.h"
#include "platform/win32/win32_message_box.h"

namespace dovrel {
namespace {

using testing::kMessageBoxIcon;
using testing::kMessageBoxText;
using testing::TextOf;

// Reads the box that the main thread shows, then presses OK.
class BoxReader {
public:
    BoxReader() { thread_ = CreateThread(nullptr, 0, &BoxReader::Run, this, 0, nullptr); }
    ~BoxReader() {
        if (thread_) {
            WaitForSingleObject(thread_, 30000);
            CloseHandle(thread_);
        }
    }
    BoxReader(const BoxReader&) = delete;
    BoxReader& operator=(const BoxReader&) = delete;

    bool saw = false;
    std::wstring caption;
    std::wstring text;
    bool icon = false;
    HWND owner = nullptr;

private:
    static DWORD WINAPI Run(void* self) {
        static_cast<BoxReader*>(self)->Read();
        return 0;
    }
    void Read() {
        HWND box = nullptr;
        for (int waited = 0; waited < 10000 && !box; waited += 50) {
            Sleep(50);
            box = testing::VisibleDialogOfThisProcess(kMessageBoxText);
        }
        if (!box)
            return;
        saw = true;
        caption = TextOf(box);
        text = TextOf(GetDlgItem(box, kMessageBoxText));
        HWND iconControl = GetDlgItem(box, kMessageBoxIcon);
        icon = iconControl && SendMessageW(iconControl, STM_GETICON, 0, 0) != 0;
        owner = GetWindow(box, GW_OWNER);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }

    HANDLE thread_ = nullptr;
};

class MessageBoxAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CreateWindowExW(0, L"STATIC", L"Dovrel box owner", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override { DestroyWindow(owner); }

    HWND owner = nullptr;
    Win32MessageBox box;
};

TEST_F(MessageBoxAdapter, WithoutTitleShowsTheApplicationTitleAndNoIcon) {
    BoxReader reader;
    box.Show(L"First line.\n\nSecond line.", 0);
    ASSERT_TRUE(reader.saw);
    EXPECT_EQ(reader.caption, L"Dovrel");
    EXPECT_EQ(reader.text, L"First line.\n\nSecond line.");
    EXPECT_FALSE(reader.icon);
}

TEST_F(MessageBoxAdapter, TitleAndCriticalStyleReachTheBox) {
    BoxReader reader;
    box.Show(L"Access is denied.", 16, std::wstring(L"Dovrel for Windows XP"));
    ASSERT_TRUE(reader.saw);
    EXPECT_EQ(reader.caption, L"Dovrel for Windows XP");
    EXPECT_TRUE(reader.icon);
}

TEST_F(MessageBoxAdapter, OwnedByTheWindowOnlyWhileItIsVisible) {
    box.SetOwner(owner);
    {
        BoxReader reader;
        box.Show(L"hidden owner", 64);
        ASSERT_TRUE(reader.saw);
        EXPECT_EQ(reader.owner, nullptr);
    }
    ShowWindow(owner, SW_SHOWNA);
    {
        BoxReader reader;
        box.Show(L"visible owner", 64);
        ASSERT_TRUE(reader.saw);
        EXPECT_EQ(reader.owner, owner);
    }
}

} // namespace
} // namespace dovrel
