#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "gate/admin_check.h"
#include "platform/win32/win32_security_api.h"

namespace dovrel {
namespace {

// Wine's user is in Administrators.
TEST(SecurityApiTest, AdministratorCheckAnswersTrue) {
    Win32SecurityApi api;
    EXPECT_TRUE(IsUserAdmin(api));
}

TEST(SecurityApiTest, TokenGroupsComeInTwoStepsAndTheTokenCloses) {
    Win32SecurityApi api;
    const SystemHandle process = api.GetCurrentProcess();
    ASSERT_NE(process, 0u);
    SystemHandle token = 0;
    ASSERT_EQ(api.OpenProcessToken(process, 0x20008, &token), 1);
    ASSERT_NE(token, 0u);

    std::uint32_t size = 0;
    EXPECT_EQ(api.GetTokenInformation(token, kTokenGroupsClass, nullptr, 0, &size), 0);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    void* buffer = &block[0];
    std::uint32_t written = 0;
    EXPECT_EQ(api.GetTokenInformation(token, kTokenGroupsClass, buffer, size, &written), 1);
    std::uint32_t count = 0;
    std::memcpy(&count, buffer, sizeof count);
    EXPECT_GT(count, 0u);

    EXPECT_EQ(api.CloseHandle(token), 1);
}

class AdministratorsSidTest : public ::testing::Test {
protected:
    void SetUp() override {
        const SidIdentifierAuthority ntAuthority = {{0, 0, 0, 0, 0, 5}};
        const std::uint32_t subAuthorities[8] = {32, 544, 0, 0, 0, 0, 0, 0};
        ASSERT_EQ(api.AllocateAndInitializeSid(ntAuthority, 2, subAuthorities, &sid), 1);
        ASSERT_NE(sid, nullptr);
    }
    void TearDown() override {
        if (sid)
            api.FreeSid(sid);
    }

    Win32SecurityApi api;
    SidPointer sid = nullptr;
};

TEST_F(AdministratorsSidTest, LookupFillsTheSpaceBuffersAndKeepsTheirLength) {
    std::wstring name(255, L' '), domain(255, L' ');
    std::uint32_t nameCount = 255, domainCount = 255;
    int accountType = 0;

    ASSERT_EQ(api.LookupAccountSidA(sid, name, nameCount, domain, domainCount, accountType), 1);

    const std::wstring expectedName = std::wstring(L"Administrators") + L'\0';
    const std::wstring expectedDomain = std::wstring(L"BUILTIN") + L'\0';
    ASSERT_EQ(name.size(), 255u);
    ASSERT_EQ(domain.size(), 255u);
    EXPECT_EQ(name.compare(0, expectedName.size(), expectedName), 0);
    EXPECT_EQ(domain.compare(0, expectedDomain.size(), expectedDomain), 0);
    // The counts come back from the call (Wine counts the NUL, Windows does not).
    EXPECT_TRUE(nameCount == 14u || nameCount == 15u) << nameCount;
    EXPECT_TRUE(domainCount == 7u || domainCount == 8u) << domainCount;
    EXPECT_EQ(accountType, 4); // an alias
}

// A buffer shorter than the count the call is told must not be overrun.
TEST_F(AdministratorsSidTest, BufferShorterThanItsCountIsNotOverrun) {
    std::wstring name(20, L' '), domain(3, L' ');
    std::uint32_t nameCount = 255, domainCount = 255;
    int accountType = 0;

    EXPECT_EQ(api.LookupAccountSidA(sid, name, nameCount, domain, domainCount, accountType), 1);

    EXPECT_EQ(name, std::wstring(L"Administrators") + L'\0' + std::wstring(5, L' '));
    EXPECT_EQ(domain, L"BUI");
}

} // namespace
} // namespace dovrel
