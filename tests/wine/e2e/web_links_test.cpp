// The web links of the real Dovrel.exe, with a stand-in browser registered as
// the prefix's http handler: each click hands its address to the shell once,
// whatever state the window is in.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "automation/input.h"
#include "automation/test_files.h"
#include "automation/wait.h"
#include "automation/wine_paths.h"
#include "classes_registry.h"
#include "dovrel_under_test.h"
#include "fixtures/fixture_logs.h"
#include "stand_in_browser.h"
#include "tests/expected/texts.h"
#include "viewer_setup.h"

namespace dovrel::e2e {
namespace {

using expected::kDonationAddress;
using expected::kHomepageAddress;
using expected::kSiteAddress;

class WebLinks : public testing::Test {
protected:
    void SetUp() override {
        app_ = std::make_unique<DovrelUnderTest>();
        // Real keys go to the foreground window.
        SetForegroundWindow(app_->session().mainWindow());
    }
    // The pointer rests where no later test's window reacts to it.
    void TearDown() override { SetCursorPos(0, 0); }

    // One way of following a link, and the address it must hand over.
    struct Link {
        const char* name;
        std::function<void()> follow;
        const wchar_t* address;
    };

    // Real mouse clicks and keys, so the system's hit testing and the dialog
    // manager decide which control gets them, as for the user.
    std::vector<Link> EveryLink() const {
        return {
            {"\"&Visit Homepage\" clicked", [&] { Click(ControlId::Command2); }, kHomepageAddress},
            {"Alt+V", [&] { EXPECT_TRUE(automation::TypeAccessKey(L'v')); }, kHomepageAddress},
            {"the donation picture clicked", [&] { Click(ControlId::Image1); }, kDonationAddress},
            {"the site label clicked", [&] { Click(ControlId::Label3); }, kSiteAddress},
        };
    }

    void Click(ControlId id) const { EXPECT_TRUE(automation::ClickWithMouse(app_->Handle(id))); }

    // Follows each link in turn, each once its predecessor has reached the
    // stand-in browser (stopping at the first that does not); then, after a
    // pause for late arrivals, expects one logged address per click, in
    // order, and nothing shown by the program.
    void FollowEachLinkOnce() {
        std::vector<std::wstring> expected = LoggedAddresses();
        HWND window = app_->session().mainWindow();
        for (const Link& link : EveryLink()) {
            SCOPED_TRACE(link.name);
            // The browser started by the link before may have taken the
            // foreground, and with it the keys meant for the program.
            EXPECT_TRUE(automation::WaitUntil(
                [&] { return SetForegroundWindow(window) && GetForegroundWindow() == window; },
                automation::kReactionTimeoutMs));
            link.follow();
            expected.push_back(link.address);
            // Each address comes from a program's start, which a busy Wine
            // can hold up as long as the program under test's own.
            ASSERT_TRUE(automation::WaitUntil(
                [&] { return browser_.log.Lines().size() >= expected.size(); },
                automation::kStartTimeoutMs))
                << "the address did not reach the browser; it has had "
                << testing::PrintToString(LoggedAddresses());
        }
        EXPECT_FALSE(app_->ShowsAMessageBoxSoon()) << "a link shows nothing";
        EXPECT_EQ(LoggedAddresses(), expected);
    }

    // The address of each logged browser start.
    std::vector<std::wstring> LoggedAddresses() const {
        return automation::SoleArgumentsOf(browser_.log.Lines());
    }

    StandInBrowser browser_;
    ScopedAbsentKeys associations_{AssociationKeys()};
    automation::ScopedAbsentFile noViewer2003_{StandardPlaceOf(kViewer2003)};
    automation::ScopedFileCopy viewer2003_{StandInOf(kViewer2003), StandardPlaceOf(kViewer2003)};
    std::unique_ptr<DovrelUnderTest> app_;
};

TEST_F(WebLinks, EachOpensItsAddressBeforeAVersionIsChosen) {
    ASSERT_FALSE(app_->IsEnabled(ControlId::Command1));
    ASSERT_NO_FATAL_FAILURE(FollowEachLinkOnce());
    EXPECT_FALSE(app_->IsEnabled(ControlId::Command1));
    EXPECT_EQ(app_->CheckState(ControlId::Option1), std::optional<int>(BST_UNCHECKED));
}

TEST_F(WebLinks, EachOpensItsAddressWhileFixIsEnabled) {
    app_->Press(ControlId::Option1);
    ASSERT_TRUE(app_->WaitUntilEnabledIs(ControlId::Command1, true));
    ASSERT_NO_FATAL_FAILURE(FollowEachLinkOnce());
    EXPECT_TRUE(app_->IsEnabled(ControlId::Command1));
}

TEST_F(WebLinks, EachOpensItsAddressAfterARepair) {
    app_->Press(ControlId::Option1);
    ASSERT_TRUE(app_->WaitUntilEnabledIs(ControlId::Command1, true));
    app_->Press(ControlId::Command1);
    const std::optional<automation::MessageBoxInfo> completed = app_->WaitForMessageBox();
    ASSERT_TRUE(completed.has_value());
    ASSERT_EQ(completed->shown(), (automation::ShownBox{expected::kCompleted, expected::kTitle,
                                                        automation::MessageBoxIcon::None}));
    app_->Dismiss(*completed);
    ASSERT_FALSE(app_->IsEnabled(ControlId::Command1));

    ASSERT_NO_FATAL_FAILURE(FollowEachLinkOnce());
    EXPECT_FALSE(app_->IsEnabled(ControlId::Command1));
}

TEST_F(WebLinks, EveryClickOpensTheAddressAgain) {
    ASSERT_NO_FATAL_FAILURE(FollowEachLinkOnce());
    ASSERT_NO_FATAL_FAILURE(FollowEachLinkOnce());
    EXPECT_EQ(browser_.log.Lines().size(), 8u);
}

} // namespace
} // namespace dovrel::e2e
