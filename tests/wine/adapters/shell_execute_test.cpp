#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>

#include <ostream>
#include <string>
#include <vector>

#include "automation/registry.h"
#include "automation/side_thread.h"
#include "automation/test_files.h"
#include "automation/wait.h"
#include "automation/wine_paths.h"
#include "fixtures/fixture_logs.h"
#include "platform/win32/system_text.h"
#include "platform/win32/win32_shell_execute.h"

namespace dovrel {
namespace {

// A made-up scheme, so the prefix's own http handler stays as it was.
constexpr wchar_t kScheme[] = L"dovrel-adapter-test";
constexpr wchar_t kSchemeKey[] = L"Software\\Classes\\dovrel-adapter-test";

// Registers the URL-logging stand-in as the handler of the made-up scheme;
// removes it again at the end.
class ShellExecuteAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        const HKEY machine = HKEY_LOCAL_MACHINE;
        automation::WriteText(machine, kSchemeKey, nullptr, L"URL:Dovrel adapter test");
        automation::WriteText(machine, kSchemeKey, L"URL Protocol", L"");
        automation::WriteText(machine, std::wstring(kSchemeKey) + L"\\shell\\open\\command",
                              nullptr,
                              L"\"" + automation::FixturePath(L"url_logger.exe") + L"\" \"%1\"");
    }

    // The address each start of the handler received, once `count` have arrived.
    std::vector<std::wstring> WaitForAddresses(std::size_t count) const {
        automation::WaitUntil([&] { return urlLog_.Lines().size() >= count; },
                              automation::kStartTimeoutMs);
        return automation::SoleArgumentsOf(urlLog_.Lines());
    }

    automation::ScopedAbsentKeys scheme_{HKEY_LOCAL_MACHINE, {kSchemeKey}};
    automation::ScopedLog urlLog_{fixtures::kUrlLog};
    Win32ShellExecute shell;
};

TEST_F(ShellExecuteAdapter, OwnerIsTheDesktopWindow) {
    const WindowHandle desktop = shell.GetDesktopWindow();
    EXPECT_EQ(desktop, reinterpret_cast<WindowHandle>(GetDesktopWindow()));
    EXPECT_TRUE(IsWindow(reinterpret_cast<HWND>(desktop)));
}

// An address below the scheme's site, opened a number of times.
struct OpenCase {
    const char* name;
    const wchar_t* page;
    int calls;
};

void PrintTo(const OpenCase& c, std::ostream* out) {
    *out << c.name;
}

class ShellExecuteOpening : public ShellExecuteAdapter,
                            public ::testing::WithParamInterface<OpenCase> {};

TEST_P(ShellExecuteOpening, EachCallHandsTheWholeAddressToTheRegisteredHandler) {
    const std::wstring address = std::wstring(kScheme) + L"://www.velloc.example" + GetParam().page;
    if (AnsiToWide(WideToAnsi(address)) != address)
        GTEST_SKIP() << "code page " << GetACP() << " cannot carry the address";

    for (int i = 0; i < GetParam().calls; ++i)
        EXPECT_GT(shell.ShellExecuteA(shell.GetDesktopWindow(), L"open", address, L"0", L"0",
                                      SW_SHOWNORMAL),
                  32);

    const std::size_t calls = static_cast<std::size_t>(GetParam().calls);
    EXPECT_EQ(WaitForAddresses(calls), std::vector<std::wstring>(calls, address));
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, ShellExecuteOpening,
    ::testing::Values(OpenCase{"OpensTheAddressWithTheRegisteredHandler", L"/ppsopen.htm", 1},
                      OpenCase{"EachCallStartsTheHandlerAgain", L"", 2},
                      // A letter outside ASCII that the usual ANSI code pages carry.
                      OpenCase{"TextsTravelThroughTheAnsiCodePage", L"/caf\u00e9", 1}),
    [](const ::testing::TestParamInfo<OpenCase>& info) { return std::string(info.param.name); });

// On a thread of its own, where nothing else started OLE: a handler the shell
// runs in this process may use COM.
TEST_F(ShellExecuteAdapter, OleRunsOnTheCallingThreadOnceItHasOpenedALink) {
    const std::wstring address = std::wstring(kScheme) + L"://www.velloc.example/";
    HRESULT startedAgain = E_FAIL;
    automation::SideThread([&] {
        Win32ShellExecute caller;
        caller.ShellExecuteA(caller.GetDesktopWindow(), L"open", address, L"0", L"0",
                             SW_SHOWNORMAL);
        startedAgain = OleInitialize(nullptr);
        if (SUCCEEDED(startedAgain))
            OleUninitialize();
    }).Join();
    EXPECT_EQ(startedAgain, S_FALSE) << "S_FALSE: OLE was running on the thread already";
    EXPECT_EQ(WaitForAddresses(1), std::vector<std::wstring>{address});
}

TEST_F(ShellExecuteAdapter, AMissingDocumentGivesAnErrorCodeAndNoHandler) {
    const std::intptr_t result = shell.ShellExecuteA(shell.GetDesktopWindow(), L"open",
                                                     L"C:\\no such folder\\no such slide show.pps",
                                                     L"0", L"0", SW_SHOWNORMAL);

    EXPECT_LE(result, 32);
    EXPECT_GE(result, 0);
}

} // namespace
} // namespace dovrel
