// Dovrel.exe started in the Wine prefix, driven from outside: the window it
// shows on an accepted platform, and the refusal everywhere else.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "automation/dovrel_session.h"
#include "automation/input.h"
#include "automation/reported_platform.h"
#include "automation/wait.h"
#include "dovrel_under_test.h"
#include "running_window.h"
#include "tests/expected/texts.h"
#include "tests/expected/window_layout.h"

namespace dovrel::e2e {
namespace {

using automation::ControlInfo;
using automation::DovrelSession;
using automation::kReactionTimeoutMs;
using automation::kStartTimeoutMs;
using automation::MessageBoxIcon;
using automation::ReportedPlatform;
using automation::ScopedReportedPlatform;

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
    ControlInfo Require(const RunningWindow& window, ControlId id) const {
        const std::optional<ControlInfo> found = window.Find(id);
        if (!found)
            ADD_FAILURE() << "no control for " << testing::PrintToString(expected::Row(id).name);
        return found.value_or(ControlInfo{});
    }
    DovrelSession& session() { return app_.session(); }

    ScopedReportedPlatform platform_{GetParam()};
    DovrelUnderTest app_;
    const HWND main_ = app_.session().mainWindow();
};

// The window's style and centring are the window adapter's; here: that the
// program shows that window, at its size, and says nothing.
TEST_P(AcceptedPlatform, ShowsTheWindowAtItsSizeWithNoMessage) {
    EXPECT_EQ(automation::TextOf(main_), expected::kTitle);
    EXPECT_TRUE(IsWindowVisible(main_));
    const int dpi = automation::ScreenDpi();
    const SIZE client = automation::ClientSizeOf(main_);
    EXPECT_EQ(client.cx, expected::ClientWidth(dpi));
    EXPECT_EQ(client.cy, expected::ClientHeight(dpi));
    EXPECT_FALSE(session().WaitForMessageBox(0).has_value());
}

TEST_P(AcceptedPlatform, HasTheFifteenControlsWithTheirCaptionsAndStartingStates) {
    const RunningWindow window(main_);
    EXPECT_EQ(window.childCount(), static_cast<std::size_t>(kControlCount));

    for (const expected::Control& row : expected::kControls) {
        SCOPED_TRACE(testing::PrintToString(row.name));
        const std::optional<ControlInfo> control = window.Find(row.id);
        ASSERT_TRUE(control.has_value()) << "no control of this kind with its caption";
        EXPECT_TRUE(control->visible);
        EXPECT_EQ(control->enabled, row.enabled);
        if (row.kind == ControlKind::CheckBox || row.kind == ControlKind::OptionButton) {
            EXPECT_EQ(control->checked, std::optional<int>(row.value));
        }
    }
}

TEST_P(AcceptedPlatform, PlacesEveryControlAtItsPixels) {
    const int dpi = automation::ScreenDpi();
    const RunningWindow window(main_);
    for (const expected::Control& row : expected::kControls) {
        SCOPED_TRACE(testing::PrintToString(row.name));
        const std::optional<ControlInfo> control = window.Find(row.id);
        ASSERT_TRUE(control.has_value());
        const RECT& at = control->rect;
        EXPECT_EQ((expected::Rect{at.left, at.top, at.right, at.bottom}),
                  expected::PixelRect(row, dpi, dpi));
    }
}

TEST_P(AcceptedPlatform, FocusStartsOnVisitHomepageAndTabFollowsTheTable) {
    const RunningWindow window(main_);
    const ControlInfo visit = Require(window, ControlId::Command2);
    ASSERT_EQ(session().FocusedControl(), visit.hwnd)
        << "focus is on " << testing::PrintToString(window.NameOf(session().FocusedControl()));

    // After "&Visit Homepage" the order wraps round; "&Fix" is disabled and skipped.
    std::array<ControlId, expected::kFocusOrder.size()> order = expected::kFocusOrder;
    std::rotate(order.begin(), std::find(order.begin(), order.end(), ControlId::Command2) + 1,
                order.end());
    std::vector<std::wstring> wanted;
    for (const ControlId id : order)
        if (id != ControlId::Command1)
            wanted.push_back(expected::Row(id).name);
    std::vector<std::wstring> visited;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        HWND before = session().FocusedControl();
        automation::PostKey(before, VK_TAB);
        automation::WaitUntil([&] { return session().FocusedControl() != before; }, kQuietPeriodMs);
        visited.push_back(window.NameOf(session().FocusedControl()));
    }
    EXPECT_EQ(visited, wanted);
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
    EXPECT_EQ(box->shown(), (automation::ShownBox{expected::kPlatformMessage, expected::kTitle,
                                                  MessageBoxIcon::Critical}));
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
