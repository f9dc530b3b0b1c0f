#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/win32/system_text.h"
#include "platform/win32/win32_shell_execute.h"

namespace dovrel {
namespace {

// A made-up scheme, so the prefix's own http handler stays as it was.
constexpr wchar_t kScheme[] = L"dovrel-adapter-test";
constexpr wchar_t kSchemeKey[] = L"Software\\Classes\\dovrel-adapter-test";
constexpr wchar_t kLogVariable[] = L"DOVREL_STANDIN_LOG";
constexpr char kStandInFilter[] =
    "--gtest_filter=ShellExecuteStandIn.DISABLED_RecordsItsCommandLine";

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

UniqueKey CreateKey(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return UniqueKey();
    return UniqueKey(key);
}

bool SetText(HKEY key, const wchar_t* name, const std::wstring& data) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::wstring ThisProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring ReadWideFile(const std::wstring& path) {
    std::ifstream in(WideToAnsi(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                        bytes.size() / sizeof(wchar_t));
}

// Registers this test program, run as the stand-in below, as the handler of
// the made-up scheme; removes it again at the end.
class ShellExecuteAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        wchar_t name[MAX_PATH] = {};
        GetTempFileNameW(temp, L"dse", 0, name);
        log_ = name;
        DeleteFileW(log_.c_str());
        SetEnvironmentVariableW(kLogVariable, log_.c_str());

        const std::wstring root = kSchemeKey;
        UniqueKey scheme = CreateKey(root);
        ASSERT_TRUE(scheme);
        ASSERT_TRUE(SetText(scheme.get(), nullptr, L"URL:Dovrel adapter test"));
        ASSERT_TRUE(SetText(scheme.get(), L"URL Protocol", L""));
        UniqueKey command = CreateKey(root + L"\\shell\\open\\command");
        ASSERT_TRUE(command);
        const std::wstring filter(kStandInFilter, kStandInFilter + sizeof kStandInFilter - 1);
        ASSERT_TRUE(SetText(command.get(), nullptr,
                            L"\"" + ThisProgram() + L"\" --gtest_also_run_disabled_tests " +
                                filter + L" \"%1\""));
    }

    void TearDown() override {
        const std::wstring root = kSchemeKey;
        for (const wchar_t* sub : {L"\\shell\\open\\command", L"\\shell\\open", L"\\shell", L""})
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, (root + sub).c_str());
        SetEnvironmentVariableW(kLogVariable, nullptr);
        DeleteFileW(log_.c_str());
    }

    // The command lines the stand-in received, once `count` have arrived.
    std::wstring WaitForLog(std::size_t count) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::wstring text;
        while (std::chrono::steady_clock::now() < deadline) {
            text = ReadWideFile(log_);
            std::size_t lines = 0;
            for (wchar_t c : text)
                lines += c == L'\n';
            if (lines >= count)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return text;
    }

    std::wstring log_;
};

TEST_F(ShellExecuteAdapter, OwnerIsTheDesktopWindow) {
    Win32ShellExecute shell;
    const WindowHandle desktop = shell.GetDesktopWindow();
    EXPECT_EQ(desktop, reinterpret_cast<WindowHandle>(GetDesktopWindow()));
    EXPECT_TRUE(IsWindow(reinterpret_cast<HWND>(desktop)));
}

TEST_F(ShellExecuteAdapter, OpensTheAddressWithTheRegisteredHandler) {
    Win32ShellExecute shell;
    const std::wstring address = std::wstring(kScheme) + L"://www.velloc.example/ppsopen.htm";

    const std::intptr_t result =
        shell.ShellExecuteA(shell.GetDesktopWindow(), L"open", address, L"0", L"0", SW_SHOWNORMAL);

    EXPECT_GT(result, 32);
    const std::wstring log = WaitForLog(1);
    EXPECT_NE(log.find(L"\"" + address + L"\""), std::wstring::npos) << WideToAnsi(log);
}

TEST_F(ShellExecuteAdapter, EachCallStartsTheHandlerAgain) {
    Win32ShellExecute shell;
    const std::wstring address = std::wstring(kScheme) + L"://www.velloc.example";

    for (int i = 0; i < 2; ++i)
        EXPECT_GT(shell.ShellExecuteA(shell.GetDesktopWindow(), L"open", address, L"0", L"0",
                                      SW_SHOWNORMAL),
                  32);

    const std::wstring log = WaitForLog(2);
    const std::wstring quoted = L"\"" + address + L"\"";
    const std::size_t first = log.find(quoted);
    ASSERT_NE(first, std::wstring::npos) << WideToAnsi(log);
    EXPECT_NE(log.find(quoted, first + 1), std::wstring::npos) << WideToAnsi(log);
}

TEST_F(ShellExecuteAdapter, TextsTravelThroughTheAnsiCodePage) {
    // A letter outside ASCII that this system's ANSI code page can carry.
    const std::wstring page = L"caf\u00e9";
    if (AnsiToWide(WideToAnsi(page)) != page)
        GTEST_SKIP() << "code page " << GetACP() << " has no \u00e9";
    Win32ShellExecute shell;
    const std::wstring address = std::wstring(kScheme) + L"://www.velloc.example/" + page;

    EXPECT_GT(
        shell.ShellExecuteA(shell.GetDesktopWindow(), L"open", address, L"0", L"0", SW_SHOWNORMAL),
        32);

    const std::wstring log = WaitForLog(1);
    EXPECT_NE(log.find(L"\"" + address + L"\""), std::wstring::npos) << WideToAnsi(log);
}

TEST_F(ShellExecuteAdapter, AMissingDocumentGivesAnErrorCodeAndNoHandler) {
    Win32ShellExecute shell;
    const std::intptr_t result = shell.ShellExecuteA(shell.GetDesktopWindow(), L"open",
                                                     L"C:\\no such folder\\no such slide show.pps",
                                                     L"0", L"0", SW_SHOWNORMAL);

    EXPECT_LE(result, 32);
    EXPECT_GE(result, 0);
}

// Run by the tests above as the scheme's handler, never on its own: records
// its command line where the starting test asked.
TEST(ShellExecuteStandIn, DISABLED_RecordsItsCommandLine) {
    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(kLogVariable, path, MAX_PATH) == 0)
        GTEST_SKIP() << "only run as the stand-in handler";
    const std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
    std::ofstream out(WideToAnsi(path), std::ios::binary | std::ios::app);
    out.write(reinterpret_cast<const char*>(line.data()),
              static_cast<std::streamsize>(line.size() * sizeof(wchar_t)));
}

} // namespace
} // namespace dovrel
