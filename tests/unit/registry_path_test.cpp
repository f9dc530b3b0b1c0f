#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "platform/registry_path.h"

namespace dovrel {
namespace {

RegistryValuePath Parsed(const std::wstring& text) {
    const std::optional<RegistryValuePath> path = ParseRegistryValuePath(text);
    EXPECT_TRUE(path.has_value()) << std::string(text.begin(), text.end());
    return path.value_or(RegistryValuePath{});
}

TEST(RegistryValuePath, TrailingBackslashNamesTheDefaultValue) {
    const RegistryValuePath extension = Parsed(L"HKCR\\.pps\\");
    EXPECT_EQ(extension.root, RegistryRoot::ClassesRoot);
    EXPECT_EQ(extension.key, L".pps");
    EXPECT_EQ(extension.valueName, L"");

    const RegistryValuePath command =
        Parsed(L"HKCR\\PowerPointViewer.Show.11\\shell\\open\\command\\");
    EXPECT_EQ(command.key, L"PowerPointViewer.Show.11\\shell\\open\\command");
    EXPECT_EQ(command.valueName, L"");
}

TEST(RegistryValuePath, LastComponentIsTheValueName) {
    const RegistryValuePath path = Parsed(L"HKCU\\Software\\Dovrel Test\\Value Name");
    EXPECT_EQ(path.root, RegistryRoot::CurrentUser);
    EXPECT_EQ(path.key, L"Software\\Dovrel Test");
    EXPECT_EQ(path.valueName, L"Value Name");
}

TEST(RegistryValuePath, EveryRootInShortAndLongFormWhateverTheCase) {
    const struct {
        const wchar_t* name;
        RegistryRoot root;
    } cases[] = {
        {L"HKCR", RegistryRoot::ClassesRoot},
        {L"hkcr", RegistryRoot::ClassesRoot},
        {L"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
        {L"HKCU", RegistryRoot::CurrentUser},
        {L"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
        {L"HKLM", RegistryRoot::LocalMachine},
        {L"HkEy_Local_Machine", RegistryRoot::LocalMachine},
        {L"HKU", RegistryRoot::Users},
        {L"HKEY_USERS", RegistryRoot::Users},
        {L"HKCC", RegistryRoot::CurrentConfig},
        {L"hkey_current_config", RegistryRoot::CurrentConfig},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + std::wcslen(c.name)));
        const RegistryValuePath path = Parsed(std::wstring(c.name) + L"\\Key\\");
        EXPECT_EQ(path.root, c.root);
        EXPECT_EQ(path.key, L"Key");
    }
}

TEST(RegistryValuePath, NonLatinNamesPassUnchanged) {
    const RegistryValuePath path =
        Parsed(L"HKCU\\Software\\\u0422\u0435\u0441\u0442\\\u03b4\u03bf\u03ba\u03b9\u03bc\u03ae");
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
