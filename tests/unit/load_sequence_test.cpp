#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gate/os_version.h"
#include "platform/platform_error.h"
#include "tests/unit/fakes/fake_form_view.h"
#include "tests/unit/fakes/fake_message_box.h"
#include "tests/unit/fakes/fake_security_api.h"
#include "tests/unit/fakes/fake_shell_execute.h"
#include "tests/unit/fakes/fake_version_record_source.h"
#include "tests/unit/fakes/fake_world.h"
#include "ui/form1.h"

namespace dovrel::testing {
namespace {

using Calls = std::vector<std::wstring>;

const std::wstring kPlatformMessage =
    L"This utility was written for Windows XP systems with Service Pack 2 or higher installed.";
const std::wstring kPrivilegeMessage = L"You don't have Administrative privileges.";
const std::wstring kTitle = L"Dovrel for Windows XP";

// The window at start-up: an XP SP3 administrator unless a test says otherwise.
class LoadSequenceTest : public ::testing::Test {
protected:
    CallLog log;
    FakeWorld world{log};
    FakeFormView view{log};
    FakeMessageBox messageBox{log};
    FakeVersionRecordSource versionRecord{log};
    FakeSecurityApi security{log};
    FakePlatformObjects objects{world};
    FakeShellExecute shellExecute{log};
    Form1 form{FormServices{view, messageBox, versionRecord, security, objects, shellExecute}};

    void SetUp() override {
        sServicePack.clear();
        security.groups = {{L"Everyone", L""}, {L"Administrators"}, {L"Users"}};
    }
    void TearDown() override { sServicePack.clear(); }

    void MakeNonAdministrator() { security.groups = {{L"Everyone", L""}, {L"Users"}}; }

    // The calls made to anything but the security API, in order.
    Calls CallsBesideSecurity() const {
        Calls out;
        for (const auto& call : log.calls)
            if (call.rfind(L"security.", 0) != 0)
                out.push_back(call);
        return out;
    }

    bool NothingCreated() const {
        return world.created.empty() && !form.fields().objShell && !form.fields().objFSO &&
               !form.fields().objDialog;
    }
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
        log.calls.clear();
        messageBox.shown.clear();
        versionRecord.Report(p.platform, p.major, p.minor, p.servicePack);

        form.OnLoad();

        ASSERT_EQ(messageBox.shown.size(), 1u);
        EXPECT_EQ(messageBox.shown[0].prompt, kPlatformMessage);
        EXPECT_EQ(messageBox.shown[0].style, 16);
        EXPECT_EQ(messageBox.shown[0].title, kTitle);
        EXPECT_EQ(log.calls, (Calls{L"version.GetVersionEx", L"msgbox " + kPlatformMessage,
                                    L"view.EndProgram"}));
        EXPECT_TRUE(NothingCreated());
        EXPECT_FALSE(view.visible);
        EXPECT_FALSE(view.unloaded);
    }
}

TEST_F(LoadSequenceTest, RefusedPlatformForANonAdministratorShowsOnlyThePlatformMessage) {
    MakeNonAdministrator();
    versionRecord.Report(2, 6, 1, L"Service Pack 1");

    form.OnLoad();

    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].prompt, kPlatformMessage);
    EXPECT_FALSE(log.Contains(L"security."));
}

TEST_F(LoadSequenceTest, ServicePacksTwoAndThreeAreAcceptedByTheirFirstFourteenCharacters) {
    const wchar_t* accepted[] = {L"Service Pack 2", L"Service Pack 3", L"Service Pack 2, v.3264",
                                 L"Service Pack 3 (build 5512)"};
    for (const wchar_t* servicePack : accepted) {
        SCOPED_TRACE(::testing::Message()
                     << "service pack \"" << std::wstring(servicePack) << "\"");
        sServicePack.clear();
        FakeFormView freshView(log);
        FakeMessageBox freshBox(log);
        Form1 freshForm(
            FormServices{freshView, freshBox, versionRecord, security, objects, shellExecute});
        versionRecord.Report(2, 5, 1, servicePack);

        freshForm.OnLoad();

        EXPECT_TRUE(freshBox.shown.empty());
        EXPECT_TRUE(freshView.visible);
    }
}

// --- the privilege gate

TEST_F(LoadSequenceTest, NonAdministratorSeesTheInformationMessageAndTheWindowIsUnloaded) {
    MakeNonAdministrator();

    form.OnLoad();

    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].prompt, kPrivilegeMessage);
    EXPECT_EQ(messageBox.shown[0].style, 64);
    EXPECT_EQ(messageBox.shown[0].title, kTitle);
    EXPECT_EQ(CallsBesideSecurity(),
              (Calls{L"version.GetVersionEx", L"msgbox " + kPrivilegeMessage, L"view.Unload"}));
    EXPECT_TRUE(NothingCreated());
    EXPECT_FALSE(view.visible);
    EXPECT_FALSE(view.ended);
}

TEST_F(LoadSequenceTest, PrivilegeGateRunsAfterThePlatformGate) {
    form.OnLoad();

    ASSERT_GE(log.calls.size(), 2u);
    EXPECT_EQ(log.calls[0], L"version.GetVersionEx");
    EXPECT_EQ(log.calls[1], L"security.GetCurrentProcess");
    EXPECT_EQ(security.problems, Calls{});
}

// --- a successful start

TEST_F(LoadSequenceTest,
       SuccessCreatesTheObjectsThenShowsClearsBothOptionsAndFocusesVisitHomepage) {
    form.OnLoad();

    EXPECT_TRUE(messageBox.shown.empty());
    EXPECT_EQ(CallsBesideSecurity(),
              (Calls{L"version.GetVersionEx", L"create shell", L"create fso", L"create dialog",
                     L"view.Show", L"view.SetOptionValue Option1 false",
                     L"view.SetOptionValue Option2 false", L"view.SetFocus Command2"}));
    EXPECT_EQ(world.created, (Calls{L"shell", L"fso", L"dialog"}));
    EXPECT_NE(form.fields().objShell, nullptr);
    EXPECT_NE(form.fields().objFSO, nullptr);
    EXPECT_NE(form.fields().objDialog, nullptr);
}

TEST_F(LoadSequenceTest, SuccessLeavesTheStoredStartingStatesAlone) {
    view.Select(ControlId::Option2); // as if something had set it before Load

    form.OnLoad();

    EXPECT_TRUE(view.visible);
    EXPECT_FALSE(view.unloaded);
    EXPECT_FALSE(view.ended);
    EXPECT_FALSE(view.IsSelected(ControlId::Option1));
    EXPECT_FALSE(view.IsSelected(ControlId::Option2));
    EXPECT_FALSE(view.IsEnabled(ControlId::Command1));
    EXPECT_EQ(view.values.at(ControlId::Check1), 1);
    EXPECT_EQ(view.values.at(ControlId::Check2), 0);
    EXPECT_EQ(view.focus, ControlId::Command2);
    EXPECT_TRUE(form.fields().sViewerPath.empty());
    EXPECT_TRUE(form.fields().sViewerVersion.empty());
}

TEST_F(LoadSequenceTest, ObjectThatCannotBeCreatedEndsLoadWithItsError) {
    world.failCreation = L"fso";

    try {
        form.OnLoad();
        FAIL() << "Load went on without the file system object";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.operation(), L"Create fso");
        EXPECT_EQ(error.reason(), L"Class not registered");
    }
    EXPECT_EQ(world.created, Calls{L"shell"});
    EXPECT_EQ(form.fields().objDialog, nullptr);
    EXPECT_FALSE(view.visible);
    EXPECT_TRUE(messageBox.shown.empty());
}

} // namespace
} // namespace dovrel::testing
