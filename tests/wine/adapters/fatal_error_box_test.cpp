#include <gtest/gtest.h>

#include <windows.h>

#include "app/win32/fatal_error_box.h"
#include "automation/message_box.h"
#include "box_reader.h"
#include "dialog_windows.h"
#include "platform/platform_error.h"
#include "tests/expected/texts.h"

namespace dovrel {
namespace {

TEST(RunReportingFailure, ReportsAnEscapedErrorInACriticalBoxAndEndsWithAnErrorCode) {
    const BoxReader reader;
    EXPECT_EQ(RunReportingFailure(
                  [] { throw PlatformError(L"Writing HKCR\\.pps\\", L"Access is denied."); }),
              1);
    ASSERT_TRUE(reader.box.has_value());
    EXPECT_EQ(reader.box->shown(),
              (automation::ShownBox{L"Dovrel has to close because an operation "
                                    L"failed.\n\nOperation: Writing HKCR\\.pps\\\n"
                                    L"Reason: Access is denied.",
                                    expected::kTitle, automation::MessageBoxIcon::Critical}));
}

TEST(RunReportingFailure, AProgramThatEndsWellShowsNothingAndEndsWithZero) {
    bool ran = false;
    EXPECT_EQ(RunReportingFailure([&] { ran = true; }), 0);
    EXPECT_TRUE(ran);
    EXPECT_EQ(testing::VisibleDialogOfThisProcess(testing::kMessageBoxText), nullptr);
}

} // namespace
} // namespace dovrel
