#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gate/os_version.h"
#include "tests/unit/fakes/fake_version_record_source.h"

namespace dovrel::testing {
namespace {

class OsVersionTest : public ::testing::Test {
protected:
    CallLog log;
    FakeVersionRecordSource source{log};

    void SetUp() override { sServicePack.clear(); }
    void TearDown() override { sServicePack.clear(); }

    // The field as the system leaves it: text, NUL, then the caller's spaces.
    static std::wstring Field(const std::wstring& text) {
        std::wstring field = text + L'\0';
        field.resize(128, L' ');
        return field;
    }
};

TEST_F(OsVersionTest, PreparesAZeroRecordOfTheSystemSizeWithASpaceFilledField) {
    GetOSVersion(source);

    ASSERT_EQ(source.received.size(), 1u);
    const VersionRecord& sent = source.received.front();
    EXPECT_EQ(sent.osVersionInfoSize, 148u);
    EXPECT_EQ(sent.majorVersion, 0u);
    EXPECT_EQ(sent.minorVersion, 0u);
    EXPECT_EQ(sent.buildNumber, 0u);
    EXPECT_EQ(sent.platformId, 0u);
    EXPECT_EQ(sent.csdVersion, std::wstring(128, L' '));
}

TEST_F(OsVersionTest, EveryCallAsksTheSystemAfresh) {
    EXPECT_EQ(GetOSVersion(source), L"Windows XP");
    source.Report(2, 6, 1);
    EXPECT_EQ(GetOSVersion(source), L"Windows Vista");
    EXPECT_EQ(source.received.size(), 2u);
}

// --- the version table

struct VersionRow {
    std::uint32_t platform, major, minor;
    const wchar_t* name;
};

struct Version {
    std::uint32_t platform, major, minor;
};

TEST_F(OsVersionTest, MapsEveryRowOfTheVersionTable) {
    // On Windows 9x only the minor number counts; an unknown platform fails
    // whatever the numbers.
    const struct {
        const wchar_t* name;
        std::vector<Version> versions;
    } names[] = {
        {L"Windows 95", {{1, 4, 0}, {1, 7, 0}}},
        {L"Windows 98", {{1, 4, 10}, {1, 0, 10}}},
        {L"Windows Millennium", {{1, 4, 90}}},
        {L"Windows NT 3.51", {{2, 3, 10}, {2, 3, 51}}},
        {L"Windows NT 4.0", {{2, 4, 0}, {2, 4, 7}}},
        {L"Windows 2000", {{2, 5, 0}}},
        {L"Windows XP", {{2, 5, 1}}},
        {L"Windows Vista", {{2, 6, 0}, {2, 6, 1}, {2, 6, 2}, {2, 6, 3}}},
        {L"", {{1, 4, 3}, {1, 4, 1}, {2, 5, 2}, {2, 5, 3}, {2, 2, 0}, {2, 7, 0}, {2, 10, 0}}},
        {L"Failed", {{0, 5, 1}, {3, 5, 1}, {3, 10, 0}, {0xFFFFFFFFu, 6, 0}}},
    };
    for (const auto& n : names) {
        for (const Version& v : n.versions) {
            SCOPED_TRACE(::testing::Message()
                         << "platform " << v.platform << ", version " << v.major << "." << v.minor);
            source.Report(v.platform, v.major, v.minor, L"Service Pack 3");
            EXPECT_EQ(GetOSVersion(source), n.name);
        }
    }
}

TEST_F(OsVersionTest, QueryThatLeavesTheRecordUntouchedAnswersFailed) {
    source.leaveUntouched = true;
    EXPECT_EQ(GetOSVersion(source), L"Failed");
    EXPECT_EQ(sServicePack, L"");
}

// --- the service-pack field

TEST_F(OsVersionTest, WindowsXpKeepsTheWholeFieldIncludingNulAndWhatFollows) {
    source.Report(2, 5, 1, L"Service Pack 3");

    EXPECT_EQ(GetOSVersion(source), L"Windows XP");
    EXPECT_EQ(sServicePack.size(), 128u);
    EXPECT_EQ(sServicePack, Field(L"Service Pack 3"));
    EXPECT_EQ(sServicePack.substr(0, 14), L"Service Pack 3");
}

TEST_F(OsVersionTest, LongServicePackTextKeepsItsNameInTheFirstFourteenCharacters) {
    source.Report(2, 5, 1, L"Service Pack 2, v.3264 (Beta)");

    EXPECT_EQ(GetOSVersion(source), L"Windows XP");
    EXPECT_EQ(sServicePack, Field(L"Service Pack 2, v.3264 (Beta)"));
    EXPECT_EQ(sServicePack.substr(0, 14), L"Service Pack 2");
}

TEST_F(OsVersionTest, EmptyServicePackTextStartsWithTheNul) {
    source.Report(2, 5, 1, L"");

    EXPECT_EQ(GetOSVersion(source), L"Windows XP");
    ASSERT_EQ(sServicePack.size(), 128u);
    EXPECT_EQ(sServicePack[0], L'\0');
    EXPECT_EQ(sServicePack.substr(1), std::wstring(127, L' '));
}

TEST_F(OsVersionTest, FieldFilledToTheEndIsKeptAsTheSystemLeftIt) {
    source.Report(2, 5, 1, std::wstring(127, L'x'));

    GetOSVersion(source);
    EXPECT_EQ(sServicePack, std::wstring(127, L'x') + L'\0');
}

TEST_F(OsVersionTest, OtherRowsLeaveTheServicePackAsItWas) {
    sServicePack = L"earlier value";
    const VersionRow rows[] = {{2, 5, 2, L""},
                               {2, 5, 0, L"Windows 2000"},
                               {2, 6, 1, L"Windows Vista"},
                               {1, 4, 10, L"Windows 98"},
                               {0, 5, 1, L"Failed"},
                               {3, 5, 1, L"Failed"}};
    for (const VersionRow& row : rows) {
        SCOPED_TRACE(::testing::Message() << "platform " << row.platform << ", version "
                                          << row.major << "." << row.minor);
        source.Report(row.platform, row.major, row.minor, L"Service Pack 1");
        EXPECT_EQ(GetOSVersion(source), row.name);
        EXPECT_EQ(sServicePack, L"earlier value");
    }
}

} // namespace
} // namespace dovrel::testing
