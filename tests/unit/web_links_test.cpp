#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "tests/expected/texts.h"
#include "tests/unit/fakes/form_harness.h"

namespace dovrel {
namespace {

using testing::FormHarness;
using testing::ShellExecuteCall;

struct Link {
    const char* name;
    void (Form1::*click)();
    const wchar_t* address;
};

const Link kLinks[] = {
    {"VisitHomepage", &Form1::OnCommand2Click, expected::kHomepageAddress},
    {"DonationPicture", &Form1::OnImage1Click, expected::kDonationAddress},
    {"SiteLabel", &Form1::OnLabel3Click, expected::kSiteAddress},
};

// The window states a click may come in, arranged through the fields and the
// controls as the other handlers would leave them.
struct WindowState {
    const char* name;
    std::function<void(FormHarness&)> arrange;
};

const WindowState kStates[] = {
    {"BeforeAVersionIsChosen", [](FormHarness&) {}},
    {"ViewerFoundFixEnabled",
     [](FormHarness& h) {
         h.view.Select(ControlId::Option1);
         h.view.SetEnabled(ControlId::Command1, true);
         h.form.fields().sProgramFiles = L"C:\\Program Files";
         h.form.fields().sViewerPath =
             L"C:\\Program Files\\Microsoft Office\\PowerPoint Viewer\\PPTVIEW.EXE";
         h.form.fields().sViewerVersion = L"11.0.8166.0";
     }},
    {"DialogCancelledFixDisabled",
     [](FormHarness& h) {
         h.form.fields().sProgramFiles = L"C:\\Program Files";
         h.form.fields().vDialogResult = std::int32_t{0};
     }},
    {"AfterARepair",
     [](FormHarness& h) {
         h.view.Select(ControlId::Option2);
         h.view.Tick(ControlId::Check2, true);
         FormFields& f = h.form.fields();
         f.sProgramFiles = L"C:\\Program Files";
         f.sViewerPath = L"C:\\Program Files\\Microsoft Office\\Office12\\PPTVIEW.EXE";
         f.sViewerVersion = L"12.0.4518.1014";
         f.sShowCommandKey = expected::kShowCommandPath;
         f.sSlideShowCommandKey = expected::kSlideShowCommandPath;
         f.sOpenCommand = f.sViewerPath + L" \"%1\"";
         f.vWriteResult = Variant();
     }},
};

// Everything a click could disturb, in a comparable form.
struct Snapshot {
    const void* shell;
    const void* fso;
    const void* dialog;
    std::wstring programFiles;
    Variant dialogResult;
    std::wstring showCommandKey, slideShowCommandKey, openCommand;
    Variant writeResult;
    std::wstring viewerPath, viewerVersion;
    std::map<ControlId, bool> enabled;
    std::map<ControlId, int> values;
    std::map<std::wstring, std::wstring> registry;

    auto Tie() const {
        return std::tie(shell, fso, dialog, programFiles, dialogResult, showCommandKey,
                        slideShowCommandKey, openCommand, writeResult, viewerPath, viewerVersion,
                        enabled, values, registry);
    }
    bool operator==(const Snapshot& other) const { return Tie() == other.Tie(); }
};

Snapshot Take(const FormHarness& h) {
    const FormFields& f = h.form.fields();
    return {f.objShell.get(), f.objFSO.get(),    f.objDialog.get(),      f.sProgramFiles,
            f.vDialogResult,  f.sShowCommandKey, f.sSlideShowCommandKey, f.sOpenCommand,
            f.vWriteResult,   f.sViewerPath,     f.sViewerVersion,       h.view.enabled,
            h.view.values,    h.world.registry};
}

void ExpectOpened(const ShellExecuteCall& call, const std::wstring& address) {
    EXPECT_EQ(call.owner, testing::FakeShellExecute::kDesktop);
    EXPECT_EQ(call.operation, L"open");
    EXPECT_EQ(call.file, address);
    EXPECT_EQ(call.parameters, L"0");
    EXPECT_EQ(call.directory, L"0");
    EXPECT_EQ(call.showCommand, 1);
}

class LinkClick : public ::testing::TestWithParam<std::tuple<Link, WindowState>> {
protected:
    void SetUp() override {
        h.CreateObjects();
        std::get<1>(GetParam()).arrange(h);
        h.log.calls.clear();
    }
    void Click() { (h.form.*std::get<0>(GetParam()).click)(); }
    std::wstring Address() const { return std::get<0>(GetParam()).address; }

    FormHarness h;
};

TEST_P(LinkClick, HandsTheAddressToTheShellOnceWithTheDesktopAsOwner) {
    Click();

    ASSERT_EQ(h.shellExecute.calls.size(), 1u);
    ExpectOpened(h.shellExecute.calls[0], Address());
    EXPECT_TRUE(h.messageBox.shown.empty());
}

TEST_P(LinkClick, EveryClickHandsTheAddressAgain) {
    Click();
    Click();
    Click();

    ASSERT_EQ(h.shellExecute.calls.size(), 3u);
    for (const ShellExecuteCall& call : h.shellExecute.calls)
        ExpectOpened(call, Address());
}

TEST_P(LinkClick, ChangesNoFieldControlOrRegistryValue) {
    const Snapshot before = Take(h);

    Click();

    EXPECT_TRUE(Take(h) == before);
}

TEST_P(LinkClick, SaysNothingWhenTheShellCannotOpenTheAddress) {
    h.shellExecute.result = 31; // no application is associated
    const Snapshot before = Take(h);

    Click();
    Click();

    EXPECT_EQ(h.shellExecute.calls.size(), 2u);
    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_TRUE(Take(h) == before);
}

INSTANTIATE_TEST_SUITE_P(AllLinksInEveryState, LinkClick,
                         ::testing::Combine(::testing::ValuesIn(kLinks),
                                            ::testing::ValuesIn(kStates)),
                         [](const ::testing::TestParamInfo<LinkClick::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

TEST(RunShellExecute, PassesEachArgumentInItsPlace) {
    FormHarness h;
    h.form.RunShellExecute(L"print", std::wstring(L"C:\\a b\\deck.pps"), std::wstring(L"/s"),
                           std::wstring(L"C:\\a b"), 3);

    ASSERT_EQ(h.shellExecute.calls.size(), 1u);
    const ShellExecuteCall& call = h.shellExecute.calls[0];
    EXPECT_EQ(call.owner, testing::FakeShellExecute::kDesktop);
    EXPECT_EQ(call.operation, L"print");
    EXPECT_EQ(call.file, L"C:\\a b\\deck.pps");
    EXPECT_EQ(call.parameters, L"/s");
    EXPECT_EQ(call.directory, L"C:\\a b");
    EXPECT_EQ(call.showCommand, 3);
}

TEST(RunShellExecute, TurnsNumbersIntoTheirDecimalText) {
    FormHarness h;
    h.form.RunShellExecute(L"open", std::int32_t{-17}, std::int32_t{0}, std::int32_t{2048}, 1);

    ASSERT_EQ(h.shellExecute.calls.size(), 1u);
    EXPECT_EQ(h.shellExecute.calls[0].file, L"-17");
    EXPECT_EQ(h.shellExecute.calls[0].parameters, L"0");
    EXPECT_EQ(h.shellExecute.calls[0].directory, L"2048");
}

} // namespace
} // namespace dovrel
