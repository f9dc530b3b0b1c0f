#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "box_reader.h"
#include "owner_window.h"
#include "platform/win32/win32_message_box.h"

namespace dovrel {
namespace {

using automation::MessageBoxIcon;

class MessageBoxAdapter : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(owner, nullptr); }

    const automation::UniqueWindow ownerWindow_ = MakeOwnerWindow(L"Dovrel box owner");
    const HWND owner = ownerWindow_.get();
    Win32MessageBox box;
};

TEST_F(MessageBoxAdapter, WithoutTitleShowsTheApplicationTitleAndNoIcon) {
    BoxReader reader;
    box.Show(L"First line.\n\nSecond line.", 0);
    ASSERT_TRUE(reader.box);
    EXPECT_EQ(reader.box->title, L"Dovrel");
    EXPECT_EQ(reader.box->text, L"First line.\n\nSecond line.");
    EXPECT_EQ(reader.box->icon, MessageBoxIcon::None) << NameOf(reader.box->icon);
}

TEST_F(MessageBoxAdapter, TitleAndCriticalStyleReachTheBox) {
    BoxReader reader;
    box.Show(L"Access is denied.", 16, std::wstring(L"Dovrel for Windows XP"));
    ASSERT_TRUE(reader.box);
    EXPECT_EQ(reader.box->title, L"Dovrel for Windows XP");
    EXPECT_EQ(reader.box->icon, MessageBoxIcon::Critical) << NameOf(reader.box->icon);
}

TEST_F(MessageBoxAdapter, OwnedByTheWindowOnlyWhileItIsVisible) {
    box.SetOwner(owner);
    {
        BoxReader reader;
        box.Show(L"hidden owner", 64);
        ASSERT_TRUE(reader.box);
        EXPECT_EQ(reader.owner, nullptr);
    }
    ShowWindow(owner, SW_SHOWNA);
    {
        BoxReader reader;
        box.Show(L"visible owner", 64);
        ASSERT_TRUE(reader.box);
        EXPECT_EQ(reader.owner, owner);
    }
}

} // namespace
} // namespace dovrel
