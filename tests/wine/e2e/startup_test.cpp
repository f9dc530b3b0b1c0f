// Dovrel.exe started in the Wine prefix, driven from outside: the window it
// shows on an accepted platform, and the refusal everywhere else.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "automation/dovrel_session.h"
#include "automation/input.h"
#include "automation/reported_platform.h"
#include "automation/wait.h"
#include "dovrel_under_test.h"
#include "running_window.h"
#include "ui/control_table.h"

namespace dovrel::e2e {
namespace {

using automation::ControlInfo;
using automation::DovrelSession;
using automation::kReactionTimeoutMs;
using automation::kStartTimeoutMs;
using automation::MessageBoxIcon;
using automation::ReportedPlatform;
using automation::ScopedReportedPlatform;

constexpr wchar_t kPlatformMessage[] =
    L"This utility was written for Windows XP systems with Service Pack 2 or higher installed.";

std::string PlatformTestName(const testing::TestParamInfo<ReportedPlatform>& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c)))
            name += *c;
    }
    return name;
}

// ---- Accepted platforms: the window and its starting state ----

class AcceptedPlatform : public testing::TestWithParam<ReportedPlatform> {
protected:
    const ControlSpec& Spec(ControlId id) const { return FindControl(id); }
    ControlInfo Require(const RunningWindow& window, ControlId id) const {
        const std::optional<ControlInfo> found = window.Find(id);
        if (!found)
            ADD_FAILURE() << "no control for the table's " << testing::PrintToString(Spec(id).name);
        return found.value_or(ControlInfo{});
    }
    DovrelSession& session() { return app_.session(); }

    ScopedReportedPlatform platform_{GetParam()};
    DovrelUnderTest app_;
    const HWND main_ = app_.session().mainWindow();
};

TEST_P(AcceptedPlatform, ShowsTheFixedSizeWindowCentredWithNoMessage) {
    EXPECT_EQ(automation::TextOf(main_), kWindowCaption);
    const int dpi = automation::ScreenDpi();
    const SIZE client = automation::ClientSizeOf(main_);
    EXPECT_EQ(client.cx, TwipsToPixels(kClientWidthTwips, dpi));
    EXPECT_EQ(client.cy, TwipsToPixels(kClientHeightTwips, dpi));

    const DWORD style = static_cast<DWORD>(GetWindowLongW(main_, GWL_STYLE));
    EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the border must not be resizable";
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);

    RECT frame{};
    GetWindowRect(main_, &frame);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int dx = (frame.left + frame.right) - (work.left + work.right);
    const int dy = (frame.top + frame.bottom) - (work.top + work.bottom);
    EXPECT_LE(std::abs(dx), 2) << "not centred horizontally";
    EXPECT_LE(std::abs(dy), 2) << "not centred vertically";

    EXPECT_FALSE(session().WaitForMessageBox(0).has_value());
}

TEST_P(AcceptedPlatform, HasTheFifteenControlsWithTheirCaptionsAndStartingStates) {
    const RunningWindow window(main_);
    EXPECT_EQ(window.childCount(), static_cast<std::size_t>(kControlCount));

    for (const ControlSpec& spec : ControlTable()) {
        SCOPED_TRACE(testing::PrintToString(spec.name));
        const std::optional<ControlInfo> control = window.Find(spec.id);
        ASSERT_TRUE(control.has_value()) << "no control of this kind with the table's caption";
        EXPECT_TRUE(control->visible);
        EXPECT_EQ(control->enabled, spec.enabled);
        if (spec.kind == ControlKind::CheckBox || spec.kind == ControlKind::OptionButton) {
            EXPECT_EQ(control->checked, std::optional<int>(spec.value));
        }
    }
    // The two states the user sees first, said plainly.
    EXPECT_EQ(Require(window, ControlId::Check1).checked, std::optional<int>(BST_CHECKED));
    EXPECT_FALSE(Require(window, ControlId::Command1).enabled);
}

TEST_P(AcceptedPlatform, PlacesEveryControlAsTheTableSaysToWithinAPixel) {
    const int dpi = automation::ScreenDpi();
    const RunningWindow window(main_);
    for (const ControlSpec& spec : ControlTable()) {
        SCOPED_TRACE(testing::PrintToString(spec.name));
        const std::optional<ControlInfo> control = window.Find(spec.id);
        ASSERT_TRUE(control.has_value());
        const RECT expected = ExpectedRect(spec, dpi);
        EXPECT_NEAR(control->rect.left, expected.left, 1);
        EXPECT_NEAR(control->rect.top, expected.top, 1);
        EXPECT_NEAR(control->rect.right, expected.right, 1);
        EXPECT_NEAR(control->rect.bottom, expected.bottom, 1);
    }
}

TEST_P(AcceptedPlatform, FocusStartsOnVisitHomepageAndTabFollowsTheTable) {
    const RunningWindow window(main_);
    const ControlInfo visit = Require(window, ControlId::Command2);
    ASSERT_EQ(session().FocusedControl(), visit.hwnd)
        << "focus is on " << testing::PrintToString(window.NameOf(session().FocusedControl()));

    // After "&Visit Homepage" the order wraps round; "&Fix" is disabled and skipped.
    const std::vector<std::wstring> expected{L"Option2", L"Option1", L"Check1", L"Check2",
                                             L"Command2"};
    std::vector<std::wstring> visited;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        HWND before = session().FocusedControl();
        automation::PostKey(before, VK_TAB);
        automation::WaitUntil([&] { return session().FocusedControl() != before; }, kQuietPeriodMs);
        visited.push_back(window.NameOf(session().FocusedControl()));
    }
    EXPECT_EQ(visited, expected);
    EXPECT_FALSE(session().WaitForMessageBox(0).has_value()) << "Tab must not select a version";
}

TEST_P(AcceptedPlatform, AltFDoesNothingWhileFixIsDisabled) {
    const RunningWindow window(main_);
    const ControlInfo visit = Require(window, ControlId::Command2);

    automation::PostAccessKey(visit.hwnd, L'f');

    EXPECT_FALSE(session().WaitForMessageBox(kQuietPeriodMs).has_value())
        << "\"&Fix\" ran although it is disabled";
    EXPECT_FALSE(app_.IsEnabled(ControlId::Command1));
    EXPECT_EQ(session().FocusedControl(), visit.hwnd);
    EXPECT_TRUE(session().IsRunning());
}

TEST_P(AcceptedPlatform, EndsWhenTheWindowIsClosed) {
    EXPECT_EQ(session().Close(kReactionTimeoutMs), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(Startup, AcceptedPlatform,
                         testing::Values(automation::kWindowsXpSp3, automation::kWindowsXpSp2),
                         PlatformTestName);

// ---- Refused platforms: the message, then the end, and never the window ----

class RefusedPlatform : public testing::TestWithParam<ReportedPlatform> {};

TEST_P(RefusedPlatform, ShowsThePlatformMessageAndEndsWithoutEverShowingTheWindow) {
    const ScopedReportedPlatform platform(GetParam());
    DovrelSession session;

    const automation::StartupOutcome outcome = session.WaitForStartup(kStartTimeoutMs);
    const std::optional<automation::MessageBoxInfo>& box = outcome.messageBox;
    ASSERT_TRUE(box.has_value()) << "instead of the platform message: " << outcome.Describe();
    EXPECT_EQ(box->text, kPlatformMessage);
    EXPECT_EQ(box->title, L"Dovrel for Windows XP");
    EXPECT_EQ(box->icon, MessageBoxIcon::Critical) << "shows " << NameOf(box->icon);
    EXPECT_TRUE(session.IsRunning()) << "the program must wait for OK";

    automation::PressOk(box->hwnd);
    EXPECT_EQ(session.WaitForExit(kReactionTimeoutMs), std::optional<DWORD>(0));
    EXPECT_EQ(session.WindowsEverShown(), std::vector<std::wstring>{});
}

INSTANTIATE_TEST_SUITE_P(Startup, RefusedPlatform,
                         testing::Values(automation::kWindowsXpSp1,
                                         automation::kWindowsXpNoServicePack,
                                         automation::kWindows7),
                         PlatformTestName);

} // namespace
} // namespace dovrel::e2e
