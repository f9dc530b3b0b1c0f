#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gate/os_version.h"
#include "platform/platform_error.h"
#include "tests/expected/texts.h"
#include "tests/unit/fakes/form_harness.h"

namespace dovrel::testing {
namespace {

using Calls = std::vector<std::wstring>;

using expected::kPlatformMessage;
using expected::kPrivilegeMessage;
using expected::kTitle;

bool NothingCreated(const FormHarness& h) {
    const FormFields& f = h.form.fields();
    return h.world.created.empty() && !f.objShell && !f.objFSO && !f.objDialog;
}

// The user saw the message before the program went.
bool MessageBefore(const FormHarness& h, const std::wstring& ending) {
    return h.log.First(L"msgbox ") < h.log.First(ending);
}

// The window at start-up: an XP SP3 administrator unless a test says otherwise.
class LoadSequenceTest : public ::testing::Test {
protected:
    FormHarness h;

    void SetUp() override { sServicePack.clear(); }
    void TearDown() override { sServicePack.clear(); }

    void MakeNonAdministrator() { h.security.groups = {{L"Everyone", L""}, {L"Users"}}; }
};

// --- the platform gate

struct Platform {
    std::uint32_t platform, major, minor;
    const wchar_t* servicePack;
};

TEST_F(LoadSequenceTest, RefusedPlatformShowsTheCriticalMessageAndEndsBeforeAnythingElse) {
    const Platform refused[] = {
        {2, 5, 1, L"Service Pack 1"},  {2, 5, 1, L""},
        {2, 5, 1, L"service pack 3"},  {2, 5, 1, L"Service Pack 4"},
        {2, 5, 1, L"Service Pack  2"}, {2, 5, 1, L"Service Pack"},
        {2, 6, 1, L"Service Pack 1"},  {2, 5, 2, L"Service Pack 2"},
        {2, 5, 0, L"Service Pack 4"},  {1, 4, 90, L"Service Pack 3"},
        {0, 5, 1, L"Service Pack 3"},
    };
    for (const Platform& p : refused) {
        SCOPED_TRACE(::testing::Message()
                     << "platform " << p.platform << ", version " << p.major << "." << p.minor
                     << ", service pack \"" << std::wstring(p.servicePack) << "\"");
        sServicePack.clear();
        FormHarness fresh;
        fresh.versionRecord.Report(p.platform, p.major, p.minor, p.servicePack);

        fresh.form.OnLoad();

        ExpectOnlyMessage(fresh.messageBox, {kPlatformMessage, 16, kTitle});
        EXPECT_TRUE(fresh.view.ended);
        EXPECT_TRUE(MessageBefore(fresh, L"view.EndProgram"));
        EXPECT_FALSE(fresh.log.Contains(L"security."));
        EXPECT_TRUE(NothingCreated(fresh));
        EXPECT_FALSE(fresh.view.visible);
        EXPECT_FALSE(fresh.view.unloaded);
    }
}

TEST_F(LoadSequenceTest, RefusedPlatformForANonAdministratorShowsOnlyThePlatformMessage) {
    MakeNonAdministrator();
    h.versionRecord.Report(2, 6, 1, L"Service Pack 1");

    h.form.OnLoad();

    ExpectOnlyMessage(h.messageBox, {kPlatformMessage, 16, kTitle});
    EXPECT_FALSE(h.log.Contains(L"security."));
}

TEST_F(LoadSequenceTest, ServicePacksTwoAndThreeAreAcceptedByTheirFirstFourteenCharacters) {
    const wchar_t* accepted[] = {L"Service Pack 2", L"Service Pack 3", L"Service Pack 2, v.3264",
                                 L"Service Pack 3 (build 5512)"};
    for (const wchar_t* servicePack : accepted) {
        SCOPED_TRACE(::testing::Message()
                     << "service pack \"" << std::wstring(servicePack) << "\"");
        sServicePack.clear();
        FormHarness fresh;
        fresh.versionRecord.Report(2, 5, 1, servicePack);

        fresh.form.OnLoad();

        EXPECT_TRUE(fresh.messageBox.shown.empty());
        EXPECT_TRUE(fresh.view.visible);
    }
}

// --- the privilege gate

TEST_F(LoadSequenceTest, NonAdministratorSeesTheInformationMessageAndTheWindowIsUnloaded) {
    MakeNonAdministrator();

    h.form.OnLoad();

    ExpectOnlyMessage(h.messageBox, {kPrivilegeMessage, 64, kTitle});
    EXPECT_TRUE(h.view.unloaded);
    EXPECT_TRUE(MessageBefore(h, L"view.Unload"));
    EXPECT_TRUE(NothingCreated(h));
    EXPECT_FALSE(h.view.visible);
    EXPECT_FALSE(h.view.ended);
}

TEST_F(LoadSequenceTest, PrivilegeGateRunsAfterThePlatformGate) {
    h.form.OnLoad();

    ASSERT_TRUE(h.log.Contains(L"security."));
    EXPECT_LT(h.log.Last(L"version."), h.log.First(L"security."));
    EXPECT_EQ(h.security.problems, Calls{});
}

// --- a successful start

TEST_F(LoadSequenceTest,
       SuccessCreatesTheObjectsThenShowsClearsBothOptionsAndFocusesVisitHomepage) {
    h.form.OnLoad();

    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_EQ(h.world.created, (Calls{L"shell", L"fso", L"dialog"}));
    EXPECT_LT(h.log.Last(L"security."), h.log.First(L"create "));
    EXPECT_NE(h.form.fields().objShell, nullptr);
    EXPECT_NE(h.form.fields().objFSO, nullptr);
    EXPECT_NE(h.form.fields().objDialog, nullptr);
    EXPECT_TRUE(h.view.visible);
    EXPECT_FALSE(h.view.IsSelected(ControlId::Option1));
    EXPECT_FALSE(h.view.IsSelected(ControlId::Option2));
    EXPECT_EQ(h.view.focus, ControlId::Command2);
}

TEST_F(LoadSequenceTest, SuccessLeavesTheStoredStartingStatesAlone) {
    h.view.Select(ControlId::Option2); // as if something had set it before Load

    h.form.OnLoad();

    EXPECT_TRUE(h.view.visible);
    EXPECT_FALSE(h.view.unloaded);
    EXPECT_FALSE(h.view.ended);
    EXPECT_FALSE(h.view.IsSelected(ControlId::Option1));
    EXPECT_FALSE(h.view.IsSelected(ControlId::Option2));
    EXPECT_FALSE(h.view.IsEnabled(ControlId::Command1));
    EXPECT_EQ(h.view.values.at(ControlId::Check1), 1);
    EXPECT_EQ(h.view.values.at(ControlId::Check2), 0);
    EXPECT_EQ(h.view.focus, ControlId::Command2);
    EXPECT_TRUE(h.form.fields().sViewerPath.empty());
    EXPECT_TRUE(h.form.fields().sViewerVersion.empty());
}

TEST_F(LoadSequenceTest, ObjectThatCannotBeCreatedEndsLoadWithItsError) {
    h.world.failCreation = L"fso";

    try {
        h.form.OnLoad();
        FAIL() << "Load went on without the file system object";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.operation(), L"Create fso");
        EXPECT_EQ(error.reason(), L"Class not registered");
    }
    EXPECT_EQ(h.world.created, Calls{L"shell"});
    EXPECT_EQ(h.form.fields().objDialog, nullptr);
    EXPECT_FALSE(h.view.visible);
    EXPECT_TRUE(h.messageBox.shown.empty());
}

} // namespace
} // namespace dovrel::testing
