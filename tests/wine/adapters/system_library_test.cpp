#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "expect_raises.h"
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
    ExpectRaises([] { const SystemLibrary missing(L"dovrel-no-such-library.dll"); },
                 L"Loading dovrel-no-such-library.dll");
}

TEST(SystemLibrary, AMissingFunctionIsAPlatformErrorNamingItAndItsDll) {
    const SystemLibrary kernel(L"kernel32.dll");
    ExpectRaises([&] { kernel.Find<void (*)()>("DovrelNoSuchFunction"); },
                 L"Finding DovrelNoSuchFunction in kernel32.dll");
}

} // namespace
} // namespace dovrel
