#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "automation/process.h"
#include "automation/test_files.h"
#include "automation/wait.h"
#include "automation/wine_paths.h"
#include "expect_raises.h"
#include "fixtures/fixture_logs.h"
#include "platform/win32/system_library.h"

namespace dovrel {
namespace {

std::wstring SystemDirectory() {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return folder;
}

std::wstring FileOf(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    return path;
}

TEST(SystemLibrary, FindsAFunctionThatWorksLikeTheImportedOne) {
    const SystemLibrary kernel(L"kernel32");
    const auto currentProcessId =
        kernel.Find<decltype(&::GetCurrentProcessId)>("GetCurrentProcessId");
    EXPECT_EQ(currentProcessId(), GetCurrentProcessId());
}

TEST(SystemLibrary, KeepsItsDllLoadedWhileItLivesOnly) {
    // A DLL nothing else in this test program loads.
    ASSERT_EQ(GetModuleHandleW(L"lz32"), nullptr);
    {
        const SystemLibrary library(L"lz32");
        EXPECT_NE(GetModuleHandleW(L"lz32"), nullptr);
    }
    EXPECT_EQ(GetModuleHandleW(L"lz32"), nullptr);
}

TEST(SystemLibrary, TakesTheDllFromTheSystemDirectory) {
    const SystemLibrary library(L"lz32");
    EXPECT_EQ(library.path(), SystemDirectory() + L"\\lz32.dll");
    EXPECT_EQ(FileOf(GetModuleHandleW(L"lz32")), SystemDirectory() + L"\\lz32.dll");
}

// In a process that has no common controls yet, as the program's when it first
// needs a system DLL: lz32 does not import them.
TEST(SystemLibrary, AnyOtherDllBringsTheCommonControlsOfTheSystemDirectoryWithIt) {
    const automation::ScopedLog log(fixtures::kLibraryProbeLog);
    automation::LaunchedProcess probe =
        automation::LaunchedProcess::Start(automation::FixturePath(L"library_probe.exe"), L"lz32");
    ASSERT_EQ(probe.WaitForExit(automation::kStartTimeoutMs), std::optional<DWORD>(0));
    EXPECT_EQ(log.Lines(),
              std::vector<std::wstring>{L"none -> " + SystemDirectory() + L"\\comctl32.dll"});
}

// A fresh process, stage after stage as the program: each DLL on the list that
// the system directory holds is loaded from there; one it lacks is skipped
// without a word (Wine has no clbcatq, as XP has no propsys).
TEST(PreloadedDlls, AreLoadedFromTheSystemDirectoryAfterTheirStageAndAMissingOneIsSkipped) {
    const automation::ScopedLog log(fixtures::kLibraryProbeLog);
    automation::LaunchedProcess probe = automation::LaunchedProcess::Start(
        automation::FixturePath(L"library_probe.exe"), L"/preload");
    ASSERT_EQ(probe.WaitForExit(automation::kStartTimeoutMs), std::optional<DWORD>(0));
    std::vector<std::wstring> expected;
    for (const DllStage stage : {DllStage::Window, DllStage::Shell})
        for (const std::wstring name : PreloadedDllNames(stage)) {
            const std::wstring path = SystemDllPath(name.c_str());
            const bool there = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
            expected.push_back(name + L" " + (there ? path : L"none"));
        }
    EXPECT_EQ(log.Lines(), expected);
    EXPECT_THAT(expected, testing::Contains(testing::EndsWith(L" none")))
        << "every DLL on the list is here: a missing one is not tried";
    // XP's common controls load it by bare name for their accessibility, while
    // nothing under Wine does, so no outcome here would show it missing.
    EXPECT_THAT(PreloadedDllNames(DllStage::Shell), testing::Contains(testing::StrEq(L"oleacc")));
}

TEST(SystemLibrary, AMissingDllIsAPlatformErrorNamingItsPath) {
    ExpectRaises([] { const SystemLibrary missing(L"dovrel-no-such-library"); },
                 L"Loading " + SystemDirectory() + L"\\dovrel-no-such-library.dll");
}

TEST(SystemLibrary, AMissingFunctionIsAPlatformErrorNamingItAndItsDll) {
    const SystemLibrary kernel(L"kernel32");
    ExpectRaises([&] { kernel.Find<void (*)()>("DovrelNoSuchFunction"); },
                 L"Finding DovrelNoSuchFunction in " + SystemDirectory() + L"\\kernel32.dll");
}

} // namespace
} // namespace dovrel
