#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "platform/registry_path.h"
#include "tests/expected/texts.h"

namespace dovrel {
namespace {

RegistryValuePath Parsed(const std::wstring& text) {
    const std::optional<RegistryValuePath> path = ParseRegistryValuePath(text);
    EXPECT_TRUE(path.has_value()) << std::string(text.begin(), text.end());
    return path.value_or(RegistryValuePath{});
}

TEST(RegistryValuePath, TrailingBackslashNamesTheDefaultValue) {
    const RegistryValuePath extension = Parsed(L"HKCR\\.pps\\");
    EXPECT_EQ(extension.key, L".pps");
    EXPECT_EQ(extension.valueName, L"");

    const RegistryValuePath command = Parsed(expected::kShowCommandPath);
    EXPECT_EQ(command.key, L"PowerPointViewer.Show.11\\shell\\open\\command");
    EXPECT_EQ(command.valueName, L"");
}

TEST(RegistryValuePath, LastComponentIsTheValueName) {
    const RegistryValuePath path = Parsed(L"HKCR\\Software\\Dovrel Test\\Value Name");
    EXPECT_EQ(path.key, L"Software\\Dovrel Test");
    EXPECT_EQ(path.valueName, L"Value Name");
}

// The program names HKEY_CLASSES_ROOT alone, always as "HKCR".
TEST(RegistryValuePath, OnlyTheShortClassesRootIsARoot) {
    const struct {
        const wchar_t* name;
        bool accepted;
    } cases[] = {
        {L"HKCR", true},
        {L"hkcr", false},
        {L"HKEY_CLASSES_ROOT", false},
        {L"HKCU", false},
        {L"HKEY_CURRENT_USER", false},
        {L"HKLM", false},
        {L"HkEy_Local_Machine", false},
        {L"HKU", false},
        {L"HKEY_USERS", false},
        {L"HKCC", false},
        {L"hkey_current_config", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + std::wcslen(c.name)));
        const std::optional<RegistryValuePath> path =
            ParseRegistryValuePath(std::wstring(c.name) + L"\\Key\\");
        EXPECT_EQ(path.has_value(), c.accepted);
        EXPECT_EQ(path.value_or(RegistryValuePath{}).key, c.accepted ? L"Key" : L"");
    }
}

TEST(RegistryValuePath, NonLatinNamesPassUnchanged) {
    const RegistryValuePath path =
        Parsed(L"HKCR\\Software\\\u0422\u0435\u0441\u0442\\\u03b4\u03bf\u03ba\u03b9\u03bc\u03ae");
    EXPECT_EQ(path.key, L"Software\\\u0422\u0435\u0441\u0442");
    EXPECT_EQ(path.valueName, L"\u03b4\u03bf\u03ba\u03b9\u03bc\u03ae");
}

TEST(RegistryValuePath, MalformedPathsAreRejected) {
    const std::vector<std::wstring> malformed{
        L"",                    // nothing at all
        L"HKCR",                // root only
        L"HKCR\\",              // root, no key
        L"HKCR\\.pps",          // a value directly under the root: no key
        L"HKXX\\Key\\",         // unknown root
        L"HKEY_CLASSES\\Key\\", // truncated long root
        L"HKCR.\\Key\\",        // root with a stray character
        L"\\Key\\",             // no root
        L"HKCR\\\\Key\\",       // empty first key component
        L"HKCR\\A\\\\B\\",      // empty component inside the key
        L"HKCR\\Key\\\\",       // empty last key component
    };
    for (const std::wstring& text : malformed)
        EXPECT_FALSE(ParseRegistryValuePath(text).has_value())
            << std::string(text.begin(), text.end());
}

} // namespace
} // namespace dovrel
