#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "automation/registry.h"
#include "automation/registry_key_refusal.h"
#include "automation/unique_handle.h"
#include "automation/wait.h"
#include "expect_raises.h"
#include "platform/win32/system_text.h"
#include "platform/win32/win32_shell.h"

namespace dovrel {
namespace {

// Non-Latin on purpose: Cyrillic, Greek and Japanese components.
const std::wstring kTestRoot = L"DovrelTest";
const std::wstring kTestKey = kTestRoot +
                              L"\\\u0422\u0435\u0441\u0442\\"
                              L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac\\\u65e5\u672c";
const std::wstring kTestPath = L"HKCR\\" + kTestKey + L"\\";
const std::wstring kClassesTestKey = L"DovrelTest.\u03a3\u03bb\u03b1\u03b9\u03bd\u03c4.11";

using automation::BytesOf;
using automation::DeleteKeyTree;
using automation::KeyExists;
using automation::ReadValue;
using automation::RegistryValue;
using automation::WriteValue;

class ShellRegistry : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        DeleteKeyTree(HKEY_CLASSES_ROOT, kTestRoot);
        DeleteKeyTree(HKEY_CLASSES_ROOT, kClassesTestKey);
    }

    Win32Shell shell;
};

// --- writing and reading back ------------------------------------------------

TEST_F(ShellRegistry, NamedValueRoundTripsThroughNonLatinKeys) {
    const std::wstring data = L"\"C:\\\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b\\"
                              L"pptview.exe\" \"%1\"";
    EXPECT_EQ(shell.RegWrite(kTestPath + L"\u540d\u524d", data, L"REG_SZ"), Variant());

    EXPECT_EQ(shell.RegRead(kTestPath + L"\u540d\u524d"), Variant(data));
    const auto raw = ReadValue(HKEY_CLASSES_ROOT, kTestKey, L"\u540d\u524d");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw->bytes, BytesOf(data));
}

TEST_F(ShellRegistry, TrailingBackslashWritesTheDefaultValue) {
    shell.RegWrite(kTestPath, L"PowerPointViewer.SlideShow.11", L"REG_SZ");

    const auto raw = ReadValue(HKEY_CLASSES_ROOT, kTestKey, nullptr);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw->bytes, BytesOf(L"PowerPointViewer.SlideShow.11"));
    EXPECT_EQ(shell.RegRead(kTestPath), Variant(std::wstring(L"PowerPointViewer.SlideShow.11")));
}

TEST_F(ShellRegistry, WriteReplacesAndLeavesOtherValuesAlone) {
    shell.RegWrite(kTestPath, L"first", L"REG_SZ");
    shell.RegWrite(kTestPath + L"Other", L"kept", L"REG_SZ");
    shell.RegWrite(kTestPath, L"second", L"REG_SZ");

    EXPECT_EQ(shell.RegRead(kTestPath), Variant(std::wstring(L"second")));
    EXPECT_EQ(shell.RegRead(kTestPath + L"Other"), Variant(std::wstring(L"kept")));
}

TEST_F(ShellRegistry, EmptyTextIsAValueThatExists) {
    shell.RegWrite(kTestPath, L"", L"REG_SZ");
    EXPECT_EQ(shell.RegRead(kTestPath), Variant(std::wstring()));
}

TEST_F(ShellRegistry, WriteIntoClassesRootCreatesTheKeysOnTheWay) {
    const std::wstring command = L"HKCR\\" + kClassesTestKey + L"\\shell\\open\\command\\";
    shell.RegWrite(command, L"\"C:\\v.exe\" \"%1\"", L"REG_SZ");

    const auto raw =
        ReadValue(HKEY_CLASSES_ROOT, kClassesTestKey + L"\\shell\\open\\command", nullptr);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->bytes, BytesOf(L"\"C:\\v.exe\" \"%1\""));
    EXPECT_EQ(shell.RegRead(L"HKCR\\" + kClassesTestKey + L"\\shell\\open\\command\\"),
              Variant(std::wstring(L"\"C:\\v.exe\" \"%1\"")));
}

// Volatile keys would be gone at the next start of Windows; the registry
// refuses a lasting key below one.
TEST_F(ShellRegistry, CreatesKeysThatOutliveARestart) {
    shell.RegWrite(kTestPath, L"x", L"REG_SZ");
    EXPECT_NO_THROW(
        automation::CreateKey(HKEY_CLASSES_ROOT, kTestKey + L"\\Lasting", KEY_QUERY_VALUE));
}

// --- reading what is not there, or not text ------------------------------------

// Whether `read` raised NotFoundError: false for any other failure, or none.
bool RaisesNotFound(const std::function<void()>& read) {
    try {
        read();
    } catch (const NotFoundError&) {
        return true;
    } catch (const PlatformError&) {
    }
    return false;
}

TEST_F(ShellRegistry, ReadingWhatDoesNotExistRaisesNotFound) {
    shell.RegWrite(kTestPath + L"Named", L"x", L"REG_SZ");

    const std::wstring missingValue = kTestPath + L"Missing";
    ExpectRaises([&] { shell.RegRead(missingValue); }, L"RegRead " + missingValue);
    EXPECT_TRUE(RaisesNotFound([&] { shell.RegRead(missingValue); }));
    // The key exists, but its default value was never set.
    ExpectRaises([&] { shell.RegRead(kTestPath); }, L"RegRead " + kTestPath);
    EXPECT_TRUE(RaisesNotFound([&] { shell.RegRead(kTestPath); }));
    const std::wstring missingKey = L"HKCR\\" + kTestRoot + L"\\Nowhere\\";
    ExpectRaises([&] { shell.RegRead(missingKey); }, L"RegRead " + missingKey);
    EXPECT_TRUE(RaisesNotFound([&] { shell.RegRead(missingKey); }));
}

TEST_F(ShellRegistry, AValueThatMayNotBeReadIsNotReportedMissing) {
    const std::wstring key = kTestRoot + L"\\Unreadable";
    const automation::ScopedKeyRefusal refusal(HKEY_CLASSES_ROOT, key, KEY_QUERY_VALUE);
    const std::wstring path = L"HKCR\\" + key + L"\\";
    ExpectRaises([&] { shell.RegRead(path); }, L"RegRead " + path,
                 SystemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(RaisesNotFound([&] { shell.RegRead(path); }));
}

TEST_F(ShellRegistry, MalformedPathsAndOtherTypesRaise) {
    ExpectRaises([&] { shell.RegRead(L"HKXX\\Key\\"); }, L"RegRead HKXX\\Key\\");
    // Only the short name of the classes root is one.
    const std::wstring longRoot = L"HKEY_CLASSES_ROOT\\" + kTestKey + L"\\";
    ExpectRaises([&] { shell.RegWrite(longRoot, L"x", L"REG_SZ"); }, L"RegWrite " + longRoot);
    ExpectRaises([&] { shell.RemoveValue(L"HKCU\\Key\\"); }, L"RemoveValue HKCU\\Key\\");
    ExpectRaises([&] { shell.RegWrite(L"HKCR\\", L"x", L"REG_SZ"); }, L"RegWrite HKCR\\");
    ExpectRaises([&] { shell.RegWrite(kTestPath, L"1", L"REG_DWORD"); }, L"RegWrite " + kTestPath);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kTestKey));
}

TEST_F(ShellRegistry, DeletingRemovesThatValueAloneAndRaisesWhenItIsMissing) {
    shell.RegWrite(kTestPath, L"command", L"REG_SZ");
    shell.RegWrite(kTestPath + L"Other", L"kept", L"REG_SZ");

    shell.RemoveValue(kTestPath);

    EXPECT_FALSE(ReadValue(HKEY_CLASSES_ROOT, kTestKey, nullptr).has_value());
    EXPECT_TRUE(ReadValue(HKEY_CLASSES_ROOT, kTestKey, L"Other").has_value());
    ExpectRaises([&] { shell.RemoveValue(kTestPath); }, L"RemoveValue " + kTestPath);
}

// The handles this process holds, as the system lists them (GetProcessHandleCount
// answers 0 under Wine); 0 when the list cannot be had.
ULONG HandlesOfThisProcess() {
    struct Entry {
        ULONG process;
        UCHAR type, flags;
        USHORT value;
        void* object;
        ACCESS_MASK access;
    };
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll"), "NtQuerySystemInformation")));
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kTooSmall = static_cast<LONG>(0xC0000004);
    std::vector<ULONG_PTR> list(1 << 14); // the count, then the entries
    LONG status = 0;
    while ((status = query(kSystemHandleInformation, list.data(),
                           static_cast<ULONG>(list.size() * sizeof list[0]), nullptr)) == kTooSmall)
        list.resize(list.size() * 2);
    const auto* entries = reinterpret_cast<const Entry*>(&list[1]);
    ULONG count = 0;
    for (ULONG_PTR i = 0; status == 0 && i < list[0]; ++i)
        count += entries[i].process == GetCurrentProcessId() ? 1 : 0;
    return count;
}

TEST_F(ShellRegistry, LeavesNoKeyOpen) {
    const auto writeReadRemove = [&] {
        shell.RegWrite(kTestPath + L"Named", L"x", L"REG_SZ");
        shell.RegRead(kTestPath + L"Named");
        shell.RemoveValue(kTestPath + L"Named");
    };
    writeReadRemove(); // the classes root's own handle is opened once, on first use
    const ULONG before = HandlesOfThisProcess();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 20; ++i)
        writeReadRemove();
    EXPECT_EQ(HandlesOfThisProcess(), before);
}

TEST_F(ShellRegistry, ValuesOfOtherKindsAreReadWithoutHarm) {
    const auto write = [](const wchar_t* name, DWORD type, std::vector<BYTE> bytes) {
        WriteValue(HKEY_CLASSES_ROOT, kTestKey, name, RegistryValue{type, std::move(bytes)});
    };
    const DWORD number = 0x12345678;
    const auto* numberBytes = reinterpret_cast<const BYTE*>(&number);
    write(L"Number", REG_DWORD, std::vector<BYTE>(numberBytes, numberBytes + sizeof number));
    write(L"Binary", REG_BINARY, {1, 2, 3});
    write(L"Unterminated", REG_SZ, BytesOf(L"abc", false));
    write(L"Odd", REG_SZ, {'a', 0, 'b'});
    const std::wstring longText(5000, L'\u0416');
    write(L"Long", REG_SZ, BytesOf(longText));

    EXPECT_EQ(shell.RegRead(kTestPath + L"Number"), Variant(std::int32_t{0x12345678}));
    EXPECT_EQ(shell.RegRead(kTestPath + L"Binary"), Variant());
    EXPECT_EQ(shell.RegRead(kTestPath + L"Unterminated"), Variant(std::wstring(L"abc")));
    EXPECT_EQ(shell.RegRead(kTestPath + L"Odd"), Variant(std::wstring(L"a")));
    EXPECT_EQ(shell.RegRead(kTestPath + L"Long"), Variant(longText));
}

// --- the change notification ---------------------------------------------------

constexpr UINT kAssociationsChanged = WM_APP + 7;

// Counts, in the window's user data, the shell's reports of association changes.
LRESULT CALLBACK CountReports(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kAssociationsChanged)
        SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
    return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window of this test, registered with the shell for
// association changes anywhere below the desktop.
class AssociationChangeListener {
public:
    AssociationChangeListener() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = CountReports;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"DovrelTestListener";
        RegisterClassW(&windowClass);
        window_.reset(CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, windowClass.hInstance, nullptr));
        LPITEMIDLIST desktop = nullptr;
        SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop);
        desktop_.reset(desktop);
        SHChangeNotifyEntry entry{desktop, TRUE};
        registration_ =
            SHChangeNotifyRegister(window_.get(), SHCNRF_InterruptLevel | SHCNRF_ShellLevel,
                                   SHCNE_ASSOCCHANGED, kAssociationsChanged, 1, &entry);
    }
    ~AssociationChangeListener() {
        if (registration_ != 0)
            SHChangeNotifyDeregister(registration_);
    }

    bool registered() const { return window_ && registration_ != 0; }

    // Handles this thread's messages until a report came or the time is up.
    bool WaitForAReport(DWORD timeoutMs) {
        return automation::WaitUntil(
            [&] {
                MSG message;
                while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageW(&message);
                return GetWindowLongPtrW(window_.get(), GWLP_USERDATA) != 0;
            },
            timeoutMs, 10);
    }

private:
    struct ShellFree {
        void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
    };
    automation::UniqueWindow window_;
    std::unique_ptr<ITEMIDLIST, ShellFree> desktop_;
    ULONG registration_ = 0;
};

TEST(ShellNotification, ReachesWhoeverListensForAssociationChanges) {
    AssociationChangeListener listener;
    ASSERT_TRUE(listener.registered());
    Win32Shell shell;

    shell.NotifyAssociationsChanged();

    EXPECT_TRUE(listener.WaitForAReport(5000));
}

// --- environment -----------------------------------------------------------------

TEST(ShellEnvironment, ProgramFilesExpandsWithoutTrailingBackslash) {
    Win32Shell shell;
    const std::wstring expanded = shell.ExpandEnvironmentStrings(L"%Programfiles%");

    wchar_t expected[MAX_PATH] = {};
    ASSERT_NE(GetEnvironmentVariableW(L"ProgramFiles", expected, MAX_PATH), 0u);
    EXPECT_EQ(expanded, expected);
    ASSERT_GT(expanded.size(), 3u);
    EXPECT_NE(expanded.back(), L'\\');
    EXPECT_EQ(expanded.find(L'%'), std::wstring::npos);
    EXPECT_EQ(shell.ExpandEnvironmentStrings(L"%Programfiles%\\Microsoft Office\\x.exe"),
              expanded + L"\\Microsoft Office\\x.exe");
}

TEST(ShellEnvironment, LongValuesAndUnknownNames) {
    Win32Shell shell;
    const std::wstring longValue(3000, L'\u00e9');
    ASSERT_TRUE(SetEnvironmentVariableW(L"DOVREL_TEST_LONG", longValue.c_str()));

    EXPECT_EQ(shell.ExpandEnvironmentStrings(L"<%DOVREL_TEST_LONG%>"), L"<" + longValue + L">");
    EXPECT_EQ(shell.ExpandEnvironmentStrings(L"%DOVREL_TEST_UNSET%"), L"%DOVREL_TEST_UNSET%");
    EXPECT_EQ(shell.ExpandEnvironmentStrings(L""), L"");
    SetEnvironmentVariableW(L"DOVREL_TEST_LONG", nullptr);
}

} // namespace
} // namespace dovrel
