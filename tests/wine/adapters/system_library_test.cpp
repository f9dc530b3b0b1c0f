#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/platform_error.h"
#include "platform/win32/system_library.h"

namespace dovrel {
namespace {

TEST(SystemLibrary, FindsAFunctionThatWorksLikeTheImportedOne) {
    const SystemLibrary kernel(L"kernel32.dll");
    const auto currentProcessId =
        kernel.Find<decltype(&::GetCurrentProcessId)>("GetCurrentProcessId");
    EXPECT_EQ(currentProcessId(), GetCurrentProcessId());
}

TEST(SystemLibrary, KeepsItsDllLoadedWhileItLivesOnly) {
    // A DLL nothing else in this test program loads.
    ASSERT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);
    {
        const SystemLibrary library(L"msimg32.dll");
        EXPECT_NE(GetModuleHandleW(L"msimg32.dll"), nullptr);
    }
    EXPECT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);
}

TEST(SystemLibrary, AMissingDllIsAPlatformErrorNamingIt) {
    try {
        const SystemLibrary missing(L"dovrel-no-such-library.dll");
        ADD_FAILURE() << "no PlatformError raised";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.operation(), L"Loading dovrel-no-such-library.dll");
        EXPECT_FALSE(error.reason().empty());
    }
}

TEST(SystemLibrary, AMissingFunctionIsAPlatformErrorNamingItAndItsDll) {
    const SystemLibrary kernel(L"kernel32.dll");
    try {
        kernel.Find<void (*)()>("DovrelNoSuchFunction");
        ADD_FAILURE() << "no PlatformError raised";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.operation(), L"Finding DovrelNoSuchFunction in kernel32.dll");
        EXPECT_FALSE(error.reason().empty());
    }
}

} // namespace
} // namespace dovrel
