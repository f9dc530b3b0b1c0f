#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "automation/registry.h"
#include "expect_raises.h"
#include "platform/win32/win32_shell.h"

namespace dovrel {
namespace {

// Non-Latin on purpose: Cyrillic, Greek and Japanese components.
const std::wstring kTestKey = L"Software\\DovrelTest\\\u0422\u0435\u0441\u0442\\"
                              L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac\\\u65e5\u672c";
const std::wstring kTestPath = L"HKCU\\" + kTestKey + L"\\";
const std::wstring kClassesTestKey = L"DovrelTest.\u03a3\u03bb\u03b1\u03b9\u03bd\u03c4.11";

using automation::BytesOf;
using automation::DeleteKeyTree;
using automation::ReadValue;
using automation::WriteValue;

class ShellRegistry : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\DovrelTest");
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
    const auto raw = ReadValue(HKEY_CURRENT_USER, kTestKey, L"\u540d\u524d");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw->bytes, BytesOf(data));
}

TEST_F(ShellRegistry, TrailingBackslashWritesTheDefaultValue) {
    shell.RegWrite(kTestPath, L"PowerPointViewer.SlideShow.11", L"REG_SZ");

    const auto raw = ReadValue(HKEY_CURRENT_USER, kTestKey, nullptr);
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
    EXPECT_EQ(shell.RegRead(L"HKEY_CLASSES_ROOT\\" + kClassesTestKey + L"\\shell\\open\\command\\"),
              Variant(std::wstring(L"\"C:\\v.exe\" \"%1\"")));
}

// --- reading what is not there, or not text ------------------------------------

TEST_F(ShellRegistry, ReadingWhatDoesNotExistRaises) {
    shell.RegWrite(kTestPath + L"Named", L"x", L"REG_SZ");

    const std::wstring missingValue = kTestPath + L"Missing";
    ExpectRaises([&] { shell.RegRead(missingValue); }, L"RegRead " + missingValue);
    // The key exists, but its default value was never set.
    ExpectRaises([&] { shell.RegRead(kTestPath); }, L"RegRead " + kTestPath);
    const std::wstring missingKey = L"HKCU\\Software\\DovrelTest\\Nowhere\\";
    ExpectRaises([&] { shell.RegRead(missingKey); }, L"RegRead " + missingKey);
}

TEST_F(ShellRegistry, MalformedPathsAndOtherTypesRaise) {
    ExpectRaises([&] { shell.RegRead(L"HKXX\\Key\\"); }, L"RegRead HKXX\\Key\\");
    ExpectRaises([&] { shell.RegWrite(L"HKCR\\", L"x", L"REG_SZ"); }, L"RegWrite HKCR\\");
    ExpectRaises([&] { shell.RegWrite(kTestPath, L"1", L"REG_DWORD"); }, L"RegWrite " + kTestPath);
    EXPECT_FALSE(automation::KeyExists(HKEY_CURRENT_USER, kTestKey));
}

TEST_F(ShellRegistry, ValuesOfOtherKindsAreReadWithoutHarm) {
    const DWORD number = 0x12345678;
    const BYTE* numberBytes = reinterpret_cast<const BYTE*>(&number);
    const HKEY user = HKEY_CURRENT_USER;
    WriteValue(user, kTestKey, L"Number", {REG_DWORD, {numberBytes, numberBytes + sizeof number}});
    WriteValue(user, kTestKey, L"Binary", {REG_BINARY, {1, 2, 3}});
    WriteValue(user, kTestKey, L"Unterminated", {REG_SZ, BytesOf(L"abc", false)});
    WriteValue(user, kTestKey, L"Odd", {REG_SZ, {'a', 0, 'b'}});
    const std::wstring longText(5000, L'\u0416');
    WriteValue(user, kTestKey, L"Long", {REG_SZ, BytesOf(longText)});

    EXPECT_EQ(shell.RegRead(kTestPath + L"Number"), Variant(std::int32_t{0x12345678}));
    EXPECT_EQ(shell.RegRead(kTestPath + L"Binary"), Variant());
    EXPECT_EQ(shell.RegRead(kTestPath + L"Unterminated"), Variant(std::wstring(L"abc")));
    EXPECT_EQ(shell.RegRead(kTestPath + L"Odd"), Variant(std::wstring(L"a")));
    EXPECT_EQ(shell.RegRead(kTestPath + L"Long"), Variant(longText));
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
