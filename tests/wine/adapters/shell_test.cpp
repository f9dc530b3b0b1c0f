#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/platform_error.h"
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

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

UniqueKey OpenKey(HKEY root, const std::wstring& path, REGSAM access = KEY_QUERY_VALUE) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return UniqueKey();
    return UniqueKey(key);
}

void DeleteTree(HKEY root, const std::wstring& path) {
    if (UniqueKey key = OpenKey(root, path, KEY_ENUMERATE_SUB_KEYS)) {
        std::vector<std::wstring> children;
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 256;
            if (RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            children.emplace_back(name, length);
        }
        key.reset();
        for (const std::wstring& child : children)
            DeleteTree(root, path + L"\\" + child);
    }
    RegDeleteKeyW(root, path.c_str());
}

struct RawValue {
    bool found = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

RawValue ReadRaw(HKEY root, const std::wstring& keyPath, const wchar_t* name) {
    RawValue value;
    UniqueKey key = OpenKey(root, keyPath);
    if (!key)
        return value;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return value;
    value.bytes.resize(size);
    value.found = RegQueryValueExW(key.get(), name, nullptr, &value.type, value.bytes.data(),
                                   &size) == ERROR_SUCCESS;
    value.bytes.resize(size);
    return value;
}

std::vector<BYTE> BytesOf(const std::wstring& text, bool terminated = true) {
    const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(begin, begin + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
}

void SetRaw(const std::wstring& keyPath, const wchar_t* name, DWORD type,
            const std::vector<BYTE>& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    UniqueKey owned(key);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

class ShellRegistry : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        DeleteTree(HKEY_CLASSES_ROOT, kTestRoot);
        DeleteTree(HKEY_CLASSES_ROOT, kClassesTestKey);
    }

    Win32Shell shell;
};

// --- writing and reading back ------------------------------------------------

TEST_F(ShellRegistry, NamedValueRoundTripsThroughNonLatinKeys) {
    const std::wstring data = L"\"C:\\\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b\\"
                              L"pptview.exe\" \"%1\"";
    EXPECT_EQ(shell.RegWrite(kTestPath + L"\u540d\u524d", data, L"REG_SZ"), Variant());

    EXPECT_EQ(shell.RegRead(kTestPath + L"\u540d\u524d"), Variant(data));
    const RawValue raw = ReadRaw(HKEY_CLASSES_ROOT, kTestKey, L"\u540d\u524d");
    ASSERT_TRUE(raw.found);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw.bytes, BytesOf(data));
}

TEST_F(ShellRegistry, TrailingBackslashWritesTheDefaultValue) {
    shell.RegWrite(kTestPath, L"PowerPointViewer.SlideShow.11", L"REG_SZ");

    const RawValue raw = ReadRaw(HKEY_CLASSES_ROOT, kTestKey, nullptr);
    ASSERT_TRUE(raw.found);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw.bytes, BytesOf(L"PowerPointViewer.SlideShow.11"));
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

    const RawValue raw =
        ReadRaw(HKEY_CLASSES_ROOT, kClassesTestKey + L"\\shell\\open\\command", nullptr);
    ASSERT_TRUE(raw.found);
    EXPECT_EQ(raw.bytes, BytesOf(L"\"C:\\v.exe\" \"%1\""));
    EXPECT_EQ(shell.RegRead(L"HKCR\\" + kClassesTestKey + L"\\shell\\open\\command\\"),
              Variant(std::wstring(L"\"C:\\v.exe\" \"%1\"")));
}

// --- reading what is not there, or not text ------------------------------------

void ExpectRaises(const std::function<void()>& call, const std::wstring& operation) {
    try {
        call();
        ADD_FAILURE() << "no PlatformError raised";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.operation(), operation);
        EXPECT_FALSE(error.reason().empty());
    }
}

TEST_F(ShellRegistry, ReadingWhatDoesNotExistRaises) {
    shell.RegWrite(kTestPath + L"Named", L"x", L"REG_SZ");

    const std::wstring missingValue = kTestPath + L"Missing";
    ExpectRaises([&] { shell.RegRead(missingValue); }, L"RegRead " + missingValue);
    // The key exists, but its default value was never set.
    ExpectRaises([&] { shell.RegRead(kTestPath); }, L"RegRead " + kTestPath);
    const std::wstring missingKey = L"HKCR\\" + kTestRoot + L"\\Nowhere\\";
    ExpectRaises([&] { shell.RegRead(missingKey); }, L"RegRead " + missingKey);
}

TEST_F(ShellRegistry, MalformedPathsAndOtherTypesRaise) {
    ExpectRaises([&] { shell.RegRead(L"HKXX\\Key\\"); }, L"RegRead HKXX\\Key\\");
    // Only the short name of the classes root is one.
    const std::wstring longRoot = L"HKEY_CLASSES_ROOT\\" + kTestKey + L"\\";
    ExpectRaises([&] { shell.RegWrite(longRoot, L"x", L"REG_SZ"); }, L"RegWrite " + longRoot);
    ExpectRaises([&] { shell.RegDeleteValue(L"HKCU\\Key\\"); }, L"RegDeleteValue HKCU\\Key\\");
    ExpectRaises([&] { shell.RegWrite(L"HKCR\\", L"x", L"REG_SZ"); }, L"RegWrite HKCR\\");
    ExpectRaises([&] { shell.RegWrite(kTestPath, L"1", L"REG_DWORD"); }, L"RegWrite " + kTestPath);
    EXPECT_FALSE(OpenKey(HKEY_CLASSES_ROOT, kTestKey));
}

TEST_F(ShellRegistry, DeletingRemovesThatValueAloneAndRaisesWhenItIsMissing) {
    shell.RegWrite(kTestPath, L"command", L"REG_SZ");
    shell.RegWrite(kTestPath + L"Other", L"kept", L"REG_SZ");

    shell.RegDeleteValue(kTestPath);

    EXPECT_FALSE(ReadRaw(HKEY_CLASSES_ROOT, kTestKey, nullptr).found);
    EXPECT_TRUE(ReadRaw(HKEY_CLASSES_ROOT, kTestKey, L"Other").found);
    ExpectRaises([&] { shell.RegDeleteValue(kTestPath); }, L"RegDeleteValue " + kTestPath);
}

TEST_F(ShellRegistry, ValuesOfOtherKindsAreReadWithoutHarm) {
    const DWORD number = 0x12345678;
    SetRaw(kTestKey, L"Number", REG_DWORD,
           std::vector<BYTE>(reinterpret_cast<const BYTE*>(&number),
                             reinterpret_cast<const BYTE*>(&number) + sizeof number));
    SetRaw(kTestKey, L"Binary", REG_BINARY, std::vector<BYTE>{1, 2, 3});
    SetRaw(kTestKey, L"Unterminated", REG_SZ, BytesOf(L"abc", false));
    SetRaw(kTestKey, L"Odd", REG_SZ, std::vector<BYTE>{'a', 0, 'b'});
    const std::wstring longText(5000, L'\u0416');
    SetRaw(kTestKey, L"Long", REG_SZ, BytesOf(longText));

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
        const DWORD start = GetTickCount();
        while (GetWindowLongPtrW(window_.get(), GWLP_USERDATA) == 0 &&
               GetTickCount() - start < timeoutMs) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            Sleep(10);
        }
        return GetWindowLongPtrW(window_.get(), GWLP_USERDATA) != 0;
    }

private:
    struct WindowDestroyer {
        void operator()(HWND window) const { DestroyWindow(window); }
    };
    struct ShellFree {
        void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
    };
    std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer> window_;
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
