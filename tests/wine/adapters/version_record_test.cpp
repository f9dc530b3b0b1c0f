#include <gtest/gtest.h>

#include <string>

#include "gate/os_version.h"
#include "platform/win32/win32_version_record_source.h"

namespace dovrel {
namespace {

// The test prefix reports Windows XP with Service Pack 3.
class VersionRecordTest : public ::testing::Test {
protected:
    void SetUp() override { sServicePack.clear(); }
    void TearDown() override { sServicePack.clear(); }

    static VersionRecord Prepared(std::uint32_t size) {
        VersionRecord record;
        record.osVersionInfoSize = size;
        record.csdVersion.assign(128, L' ');
        return record;
    }

    Win32VersionRecordSource source;
};

TEST_F(VersionRecordTest, NamesWindowsXpWithTheWholeServicePackField) {
    EXPECT_EQ(GetOSVersion(source), L"Windows XP");
    ASSERT_EQ(sServicePack.size(), 128u);
    EXPECT_EQ(sServicePack.substr(0, 14), L"Service Pack 3");
    EXPECT_EQ(sServicePack[14], L'\0');
}

TEST_F(VersionRecordTest, FillsEveryFieldOfTheRecord) {
    VersionRecord record = Prepared(148);

    source.QueryVersion(record);

    EXPECT_EQ(record.osVersionInfoSize, 148u);
    EXPECT_EQ(record.platformId, 2u);
    EXPECT_EQ(record.majorVersion, 5u);
    EXPECT_EQ(record.minorVersion, 1u);
    EXPECT_EQ(record.buildNumber, 2600u);
    EXPECT_EQ(record.csdVersion.size(), 128u);
    EXPECT_EQ(record.csdVersion.compare(0, 15, std::wstring(L"Service Pack 3") + L'\0'), 0);
}

TEST_F(VersionRecordTest, RefusedQueryLeavesTheRecordAsPrepared) {
    VersionRecord record = Prepared(12);

    source.QueryVersion(record);

    EXPECT_EQ(record.osVersionInfoSize, 12u);
    EXPECT_EQ(record.platformId, 0u);
    EXPECT_EQ(record.majorVersion, 0u);
    EXPECT_EQ(record.csdVersion, std::wstring(128, L' '));
}

} // namespace
} // namespace dovrel
