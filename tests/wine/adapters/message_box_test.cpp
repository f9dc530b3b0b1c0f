#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "box_reader.h"
#include "owner_window.h"
#include "platform/win32/win32_message_box.h"
#include "tests/expected/texts.h"

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
    EXPECT_EQ(reader.box->shown(),
              (automation::ShownBox{L"First line.\n\nSecond line.", expected::kUntitledBoxTitle,
                                    MessageBoxIcon::None}));
}

TEST_F(MessageBoxAdapter, TitleAndCriticalStyleReachTheBox) {
    BoxReader reader;
    box.Show(L"Access is denied.", 16, std::wstring(expected::kTitle));
    ASSERT_TRUE(reader.box);
    EXPECT_EQ(reader.box->shown(), (automation::ShownBox{L"Access is denied.", expected::kTitle,
                                                         MessageBoxIcon::Critical}));
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
