#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "app/fatal_error.h"
#include "platform/platform_error.h"

namespace dovrel {
namespace {

TEST(FatalErrorPrompt, NamesTheOperationAndTheReasonOnLinesOfTheirOwn) {
    EXPECT_EQ(FatalErrorPrompt(L"Writing HKCR\\.pps\\", L"Access is denied."),
              L"Dovrel has to close because an operation failed.\n\n"
              L"Operation: Writing HKCR\\.pps\\\n"
              L"Reason: Access is denied.");
}

TEST(FatalErrorPrompt, BreaksLinesWithLineFeedsOnly) {
    const std::wstring prompt =
        FatalErrorPrompt(L"Opening\r\nthe dialog", L"First line.\r\nSecond line.\rThird.");
    EXPECT_EQ(prompt.find(L'\r'), std::wstring::npos);
    EXPECT_NE(prompt.find(L"Operation: Opening\nthe dialog\n"), std::wstring::npos);
    EXPECT_NE(prompt.find(L"Reason: First line.\nSecond line.\nThird."), std::wstring::npos);
}

TEST(FatalErrorPrompt, SaysSoWhenOperationOrReasonIsMissing) {
    EXPECT_EQ(FatalErrorPrompt(L"", L""), L"Dovrel has to close because an operation failed.\n\n"
                                          L"Operation: (not named)\n"
                                          L"Reason: No reason was given.");
}

TEST(FatalErrorPrompt, APlatformErrorGivesItsOwnOperationAndReason) {
    const auto error = std::make_exception_ptr(
        PlatformError(L"Creating the file dialog", L"The system cannot find the file specified."));
    EXPECT_EQ(FatalErrorPrompt(error),
              FatalErrorPrompt(L"Creating the file dialog", L"The system cannot find the file "
                                                            L"specified."));
}

TEST(FatalErrorPrompt, OtherExceptionsAreReportedAsAnInternalFailure) {
    // Control characters, DEL and bytes beyond ASCII are marked.
    EXPECT_EQ(
        FatalErrorPrompt(std::make_exception_ptr(std::runtime_error("bad state \x01\xE9\x7F~"))),
        FatalErrorPrompt(L"An internal step of the program", L"bad state ???~"));
    EXPECT_EQ(FatalErrorPrompt(std::make_exception_ptr(std::bad_alloc())),
              FatalErrorPrompt(L"An internal step of the program", L"There is not enough memory."));
    EXPECT_EQ(FatalErrorPrompt(std::make_exception_ptr(42)),
              FatalErrorPrompt(L"An internal step of the program", L""));
    EXPECT_EQ(FatalErrorPrompt(std::exception_ptr()),
              FatalErrorPrompt(L"An internal step of the program", L""));
}

} // namespace
} // namespace dovrel
