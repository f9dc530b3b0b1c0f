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
    EXPECT_EQ(Parsed(L"HKCR\\Key\\").key, L"Key");
    for (const wchar_t* root :
         {L"hkcr", L"HKEY_CLASSES_ROOT", L"HKCU", L"HKEY_CURRENT_USER", L"HKLM",
          L"HkEy_Local_Machine", L"HKU", L"HKEY_USERS", L"HKCC", L"hkey_current_config"}) {
        SCOPED_TRACE(std::string(root, root + std::wcslen(root)));
        EXPECT_FALSE(ParseRegistryValuePath(std::wstring(root) + L"\\Key\\").has_value());
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
