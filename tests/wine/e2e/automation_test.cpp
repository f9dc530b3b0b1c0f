// The automation against a probe program with known answers: if these fail,
// the end-to-end verdicts on Dovrel.exe mean nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "automation/file_dialog.h"
#include "automation/message_box.h"
#include "automation/process.h"
#include "automation/reported_platform.h"
#include "automation/test_files.h"
#include "automation/visibility_watch.h"
#include "automation/wait.h"
#include "automation/wine_paths.h"
#include "fixtures/fixture_logs.h"

namespace dovrel::automation {
namespace {

constexpr DWORD kIdOk = 1;

LaunchedProcess StartProbe(const std::wstring& arguments) {
    return LaunchedProcess::Start(FixturePath(L"dialog_probe.exe"), arguments);
}

struct IconCase {
    UINT style;
    MessageBoxIcon icon;
};

void PrintTo(const IconCase& c, std::ostream* out) {
    *out << "style " << c.style << ", " << NameOf(c.icon);
}

std::string IconTestName(const testing::TestParamInfo<IconCase>& info) {
    std::string name = NameOf(info.param.icon);
    name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    return name;
}

class MessageBoxReading : public testing::TestWithParam<IconCase> {};

TEST_P(MessageBoxReading, ReadsTitleTextAndIconThenPressesOk) {
    const IconCase& c = GetParam();
    LaunchedProcess probe =
        StartProbe(L"box " + std::to_wstring(c.style) + L" \"Probe title\" \"first\\n\\nsecond\"");
    const VisibilityWatch watch(probe.id());

    const auto box = WaitForMessageBox(probe.id(), kStartTimeoutMs);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->shown(), (ShownBox{L"first\n\nsecond", L"Probe title", c.icon}));

    PressOk(box->hwnd);
    EXPECT_EQ(probe.WaitForExit(kReactionTimeoutMs), std::optional<DWORD>(kIdOk));
    EXPECT_TRUE(watch.WindowsSeen().empty()) << "a message box is not a main window";
}

INSTANTIATE_TEST_SUITE_P(Styles, MessageBoxReading,
                         testing::Values(IconCase{MB_OK, MessageBoxIcon::None},
                                         IconCase{MB_ICONHAND, MessageBoxIcon::Critical},
                                         IconCase{MB_ICONASTERISK, MessageBoxIcon::Information},
                                         IconCase{MB_ICONEXCLAMATION, MessageBoxIcon::Exclamation}),
                         IconTestName);

TEST(VisibilityWatch, SeesAWindowThatWasVisibleOnlyBriefly) {
    LaunchedProcess probe = StartProbe(L"flash \"Brief window\" 300");
    const VisibilityWatch watch(probe.id());

    const auto box = WaitForMessageBox(probe.id(), kStartTimeoutMs);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"shown");
    PressOk(box->hwnd);
    ASSERT_TRUE(probe.WaitForExit(kReactionTimeoutMs).has_value());

    ASSERT_EQ(watch.WindowsSeen().size(), 1u);
    EXPECT_NE(watch.WindowsSeen()[0].find(L"'Brief window'"), std::wstring::npos);
}

TEST(FileDialogDriving, TypesAPathWithSpacesAndOpensIt) {
    const ScopedLog log(fixtures::kOpenProbeLog);
    const ScopedFileCopy chosen(FixturePath(L"trap.exe"), L"C:\\dovrel-test\\a folder\\b c.exe");
    LaunchedProcess probe = StartProbe(L"open");

    HWND dialog = WaitForFileDialog(probe.id(), kStartTimeoutMs);
    ASSERT_NE(dialog, nullptr);
    ChooseFile(dialog, chosen.path());

    EXPECT_EQ(probe.WaitForExit(kReactionTimeoutMs), std::optional<DWORD>(1));
    EXPECT_EQ(log.Lines(), std::vector<std::wstring>{chosen.path()});
}

TEST(FileDialogDriving, CancelChoosesNothing) {
    const ScopedLog log(fixtures::kOpenProbeLog);
    LaunchedProcess probe = StartProbe(L"open");

    HWND dialog = WaitForFileDialog(probe.id(), kStartTimeoutMs);
    ASSERT_NE(dialog, nullptr);
    CancelFileDialog(dialog);

    EXPECT_EQ(probe.WaitForExit(kReactionTimeoutMs), std::optional<DWORD>(0));
    EXPECT_TRUE(log.Lines().empty());
}

std::wstring VersionToldToANewProcess() {
    const ScopedLog log(fixtures::kVersionProbeLog);
    LaunchedProcess probe = StartProbe(L"version");
    if (probe.WaitForExit(kStartTimeoutMs) != std::optional<DWORD>(0))
        return L"(the probe failed)";
    const std::vector<std::wstring> lines = log.Lines();
    return lines.size() == 1 ? lines[0] : L"(no single line logged)";
}

TEST(ReportedPlatform, NewProcessesAreToldTheChosenPlatformUntilItIsRestored) {
    ASSERT_EQ(ReportedValue(L"CSDVersion"), std::optional<std::wstring>(L"Service Pack 3"))
        << "the test prefix should report XP SP3 between tests";
    {
        const ScopedReportedPlatform windows7(kWindows7);
        EXPECT_EQ(VersionToldToANewProcess(), L"6.1.7601|Service Pack 1");
        const ScopedReportedPlatform noServicePack(kWindowsXpNoServicePack);
        EXPECT_EQ(VersionToldToANewProcess(), L"5.1.2600|");
    }
    EXPECT_EQ(VersionToldToANewProcess(), L"5.1.2600|Service Pack 3");
}

TEST(WindowsPaths, UnixPathsBecomeDriveZ) {
    EXPECT_EQ(WindowsPathOf(L"/work/main/build/a b.exe"), L"Z:\\work\\main\\build\\a b.exe");
    EXPECT_EQ(WindowsPathOf(L"C:\\already\\windows"), L"C:\\already\\windows");
}

} // namespace
} // namespace dovrel::automation
