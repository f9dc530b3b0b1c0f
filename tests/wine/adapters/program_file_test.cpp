#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "built_program.h"
#include "tests/expected/texts.h"

namespace dovrel {
namespace {

using testing::BuiltProgramPath;
using testing::kIconId;
using testing::LoadBuiltProgram;

BOOL CALLBACK CollectResourceType(HMODULE, LPWSTR type, LONG_PTR param) {
    auto* list = reinterpret_cast<std::vector<std::wstring>*>(param);
    list->push_back(IS_INTRESOURCE(type) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(type))
                                         : std::wstring(type));
    return TRUE;
}

std::vector<std::wstring> ResourceTypesOf(HMODULE module) {
    std::vector<std::wstring> types;
    EnumResourceTypesW(module, CollectResourceType, reinterpret_cast<LONG_PTR>(&types));
    return types;
}

TEST(ProgramFile, HoldsOnlyAnIconAndTheVersionRecord) {
    const UniqueModule program = LoadBuiltProgram();
    ASSERT_TRUE(program) << "build Dovrel.exe first";
    const std::vector<std::wstring> types = ResourceTypesOf(program.get());
    const std::set<std::wstring> found(types.begin(), types.end());
    EXPECT_EQ(found, (std::set<std::wstring>{L"#3", L"#14", L"#16"})); // icon, group, version
    EXPECT_EQ(types.size(), 3u);
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(ProgramFile, ItsOnlyIconIs32By32With16Colours) {
    const UniqueModule program = LoadBuiltProgram();
    ASSERT_TRUE(program) << "build Dovrel.exe first";
    HRSRC group = FindResourceW(program.get(), MAKEINTRESOURCEW(kIconId), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* header = static_cast<const WORD*>(LockResource(LoadResource(program.get(), group)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header[1], 1); // icons
    ASSERT_EQ(header[2], 1); // one image
    GroupIconEntry entry{};
    std::memcpy(&entry, header + 3, sizeof(entry));
    EXPECT_EQ(entry.width, 32);
    EXPECT_EQ(entry.height, 32);
    EXPECT_EQ(entry.colourCount, 16);
    EXPECT_EQ(entry.bitCount, 4);
}

std::wstring VersionString(const std::vector<BYTE>& record, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(record.data(), path.c_str(), &value, &length) || !value)
        return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

TEST(ProgramFile, CarriesTheVersionRecord) {
    const std::wstring path = BuiltProgramPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "build Dovrel.exe first";
    std::vector<BYTE> record(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00020001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);

    const std::pair<const wchar_t*, std::wstring> strings[] = {
        {L"Comments", expected::kTitle},     {L"FileDescription", expected::kTitle},
        {L"ProductName", expected::kTitle},  {L"FileVersion", L"2.01"},
        {L"ProductVersion", L"2.01"},        {L"InternalName", L"Dovrel"},
        {L"OriginalFilename", L"Dovrel.exe"}};
    for (const auto& [name, value] : strings)
        EXPECT_EQ(VersionString(record, name), value) << ::testing::PrintToString(name);
    EXPECT_NE(VersionString(record, L"LegalCopyright"), L"<missing>");
    EXPECT_NE(VersionString(record, L"LegalCopyright"), L"");
}

} // namespace
} // namespace dovrel
