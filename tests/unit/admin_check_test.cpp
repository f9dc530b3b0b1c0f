#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "gate/admin_check.h"
#include "tests/unit/fakes/fake_security_api.h"

namespace dovrel::testing {
namespace {

using Calls = std::vector<std::wstring>;

const std::wstring kOpenToken = L"OpenProcessToken process access 0x20008";
const std::wstring kAllocate =
    L"AllocateAndInitializeSid authority 0 0 0 0 0 5 count 2 subauthorities 32 544 0 0 0 0 0 0";
const std::wstring kLookupAdmin = L"LookupAccountSidA Administrators SID";
const std::wstring kFreeSid = L"FreeSid Administrators SID";
const std::wstring kCloseToken = L"CloseHandle token";
const std::wstring kCloseProcess = L"CloseHandle process";

const std::wstring kSizeQuery = L"GetTokenInformation token class 2 length 0";
std::wstring GroupsQuery(std::uint32_t length) {
    return L"GetTokenInformation token class 2 length " + std::to_wstring(length);
}

// The calls made, with their values, as a multiset: only which resources are
// obtained and released, and with what, is the behaviour, not their order.
Calls Sorted(Calls calls) {
    std::sort(calls.begin(), calls.end());
    return calls;
}

class AdminCheckTest : public ::testing::Test {
protected:
    CallLog log;
    FakeSecurityApi api{log};

    // Every call got what its contract asks (fresh buffers, a zeroed and
    // aligned block, only SIDs it was given).
    void TearDown() override { EXPECT_EQ(api.problems, Calls{}); }
};

// --- the whole sequence

TEST_F(AdminCheckTest, AdministratorMakesEveryCallWithItsValuesAndReleasesAll) {
    api.groups = {{L"Everyone", L""}, {L"Administrators"}, {L"Users"}};

    EXPECT_TRUE(IsUserAdmin(api));

    EXPECT_EQ(Sorted(api.Calls()),
              Sorted({L"GetCurrentProcess", kOpenToken, kSizeQuery, GroupsQuery(api.GroupsSize()),
                      kAllocate, kLookupAdmin, L"LookupAccountSidA group 0",
                      L"LookupAccountSidA group 1", kFreeSid, kCloseToken, kCloseProcess}));
}

TEST_F(AdminCheckTest, UserOutsideAdministratorsLooksUpEveryGroupThenReleasesAll) {
    api.groups = {{L"Everyone", L""}, {L"Users"}, {L"Power Users"}};

    EXPECT_FALSE(IsUserAdmin(api));

    EXPECT_EQ(
        Sorted(api.Calls()),
        Sorted({L"GetCurrentProcess", kOpenToken, kSizeQuery, GroupsQuery(api.GroupsSize()),
                kAllocate, kLookupAdmin, L"LookupAccountSidA group 0", L"LookupAccountSidA group 1",
                L"LookupAccountSidA group 2", kFreeSid, kCloseToken, kCloseProcess}));
}

TEST_F(AdminCheckTest, TokenWithoutGroupsIsNotAdministrator) {
    EXPECT_FALSE(IsUserAdmin(api));

    EXPECT_EQ(Sorted(api.Calls()),
              Sorted({L"GetCurrentProcess", kOpenToken, kSizeQuery, GroupsQuery(api.GroupsSize()),
                      kAllocate, kLookupAdmin, kFreeSid, kCloseToken, kCloseProcess}));
}

TEST_F(AdminCheckTest, StopsAtTheFirstMatchingGroup) {
    api.groups = {{L"Users"}, {L"Administrators"}, {L"Administrators"}, {L"Power Users"}};

    EXPECT_TRUE(IsUserAdmin(api));

    const Calls calls = api.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), L"LookupAccountSidA group 1"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), L"LookupAccountSidA group 2"), 0);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), L"LookupAccountSidA group 3"), 0);
}

// --- what counts as the Administrators group

struct GroupCase {
    const char* what;
    std::vector<FakeGroup> groups;
    bool isAdmin;
    std::wstring adminName = L"Administrators"; // as the system names the Administrators SID
};

TEST(AdminCheckGroups, OnlyTheAdministratorsAccountNameCounts) {
    const FakeGroup unnamed{L"", L"", 0xC0000007u, false};
    const GroupCase cases[] = {
        {"deny-only Administrators group",
         {{L"Users"}, {L"Administrators", L"BUILTIN", kGroupUseForDenyOnly}},
         true},
        {"same name in another domain", {{L"Users"}, {L"Administrators", L"CORP"}}, true},
        {"translated name matches itself",
         {{L"Jeder", L""}, {L"Administratoren", L"VORDEFINIERT"}},
         true,
         L"Administratoren"},
        {"translated system, English name",
         {{L"Administrators", L"CORP"}},
         false,
         L"Administratoren"},
        {"names compared whole and case-sensitively",
         {{L"administrators"}, {L"ADMINISTRATORS"}, {L"Administrators2"}, {L"Administrator"}},
         false},
        {"group without an account name passed over", {unnamed, {L"Administrators"}}, true},
        // A failed group lookup must not see a name left over from an earlier lookup.
        {"unnamed group after the Administrators lookup", {unnamed}, false},
    };
    for (const GroupCase& c : cases) {
        SCOPED_TRACE(c.what);
        CallLog log;
        FakeSecurityApi api(log);
        api.adminName = c.adminName;
        api.groups = c.groups;
        EXPECT_EQ(IsUserAdmin(api), c.isAdmin);
        EXPECT_EQ(api.problems, Calls{});
    }
}

// --- a token that needs more than the usual 4012 bytes

TEST_F(AdminCheckTest, LargeTokenIsReadWholeWithTheReportedLength) {
    for (int i = 0; i < 260; ++i)
        api.groups.push_back({L"Group " + std::to_wstring(i)});
    api.groups.push_back({L"Administrators"});
    ASSERT_GT(api.GroupsSize(), 4012u);

    EXPECT_TRUE(IsUserAdmin(api));
    EXPECT_EQ(api.lastGroupsLength, api.GroupsSize());
    EXPECT_TRUE(log.Contains(L"security.LookupAccountSidA group 260"));
}

TEST_F(AdminCheckTest, SmallTokenGetsTheLengthTheSizeQueryReported) {
    api.groups = {{L"Administrators"}};
    api.sizeQueryReport = 3000; // more than needed, less than the usual block

    EXPECT_TRUE(IsUserAdmin(api));
    EXPECT_EQ(api.lastGroupsLength, 3000u);
}

TEST_F(AdminCheckTest, ReportedSizeBeyondTheUsualBlockIsAllWritable) {
    api.groups = {{L"Users"}, {L"Administrators"}};
    api.sizeQueryReport = 20000;

    EXPECT_TRUE(IsUserAdmin(api));
    EXPECT_EQ(api.lastGroupsLength, 20000u);
}

// A count larger than the entries the block can hold is not followed past it.
TEST_F(AdminCheckTest, StoredCountBeyondTheWrittenBlockIsCapped) {
    api.groups = {{L"Users"}, {L"Power Users"}};
    api.storedGroupCount = 100000;

    EXPECT_FALSE(IsUserAdmin(api));

    const Calls calls = api.Calls();
    const auto lookups = std::count_if(calls.begin(), calls.end(), [](const std::wstring& c) {
        return c.rfind(L"LookupAccountSidA", 0) == 0;
    });
    const std::size_t fitting =
        (api.GroupsSize() - offsetof(TokenGroupsHeader, Groups)) / sizeof(SidAndAttributes);
    EXPECT_EQ(static_cast<std::size_t>(lookups), 1 + fitting);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), kCloseProcess), 1);
    api.problems.clear(); // the entries past the real ones are not SIDs the fake knows
}

// --- each failing step answers false and releases what it obtained

struct FailingStep {
    const char* what;
    std::function<void(FakeSecurityApi&)> arrange;
    Calls calls; // after GetCurrentProcess
};

TEST_F(AdminCheckTest, EachFailingStepAnswersFalseAndReleasesWhatItObtained) {
    const std::uint32_t size = [] {
        CallLog scratch;
        FakeSecurityApi sized(scratch);
        sized.groups = {{L"Administrators"}};
        return sized.GroupsSize();
    }();
    const FailingStep steps[] = {
        {"no process handle", [](FakeSecurityApi& a) { a.processHandle = 0; }, {}},
        {"token not opened",
         [](FakeSecurityApi& a) { a.openTokenResult = 0; },
         {kOpenToken, kCloseProcess}},
        // Only 1 counts as success, but a token handed out is still closed.
        {"token opened with flag 2",
         [](FakeSecurityApi& a) { a.openTokenResult = 2; },
         {kOpenToken, kCloseToken, kCloseProcess}},
        {"size query succeeds",
         [](FakeSecurityApi& a) { a.sizeQueryResult = 1; },
         {kOpenToken, kSizeQuery, kCloseToken, kCloseProcess}},
        {"size query reports 0",
         [](FakeSecurityApi& a) { a.sizeQueryReport = 0; },
         {kOpenToken, kSizeQuery, kCloseToken, kCloseProcess}},
        {"size query reports a negative size",
         [](FakeSecurityApi& a) { a.sizeQueryReport = 0x80000000u; },
         {kOpenToken, kSizeQuery, kCloseToken, kCloseProcess}},
        {"groups query fails",
         [](FakeSecurityApi& a) { a.groupsResult = 0; },
         {kOpenToken, kSizeQuery, GroupsQuery(size), kCloseToken, kCloseProcess}},
        {"SID not allocated",
         [](FakeSecurityApi& a) { a.allocateResult = 0; },
         {kOpenToken, kSizeQuery, GroupsQuery(size), kAllocate, kCloseToken, kCloseProcess}},
        // No group is looked at.
        {"Administrators lookup fails",
         [](FakeSecurityApi& a) { a.adminLookupSucceeds = false; },
         {kOpenToken, kSizeQuery, GroupsQuery(size), kAllocate, kLookupAdmin, kFreeSid, kCloseToken,
          kCloseProcess}},
    };
    for (const FailingStep& step : steps) {
        SCOPED_TRACE(step.what);
        CallLog stepLog;
        FakeSecurityApi stepApi(stepLog);
        stepApi.groups = {{L"Administrators"}};
        step.arrange(stepApi);

        EXPECT_FALSE(IsUserAdmin(stepApi));

        Calls expected{L"GetCurrentProcess"};
        expected.insert(expected.end(), step.calls.begin(), step.calls.end());
        EXPECT_EQ(Sorted(stepApi.Calls()), Sorted(expected));
        EXPECT_EQ(stepApi.problems, Calls{});
    }
}

} // namespace
} // namespace dovrel::testing
