#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gate/token_groups_buffer.h"

namespace dovrel {
namespace {

constexpr std::size_t kHeader = offsetof(TokenGroupsHeader, Groups);
constexpr std::size_t kEntry = sizeof(SidAndAttributes);

// The count that the block claims is believed only as far as whole entries fit
// behind the count itself within the bytes the system wrote.
TEST(TokenGroupsBuffer, CountsOnlyEntriesThatFitBehindTheHeader) {
    const struct {
        std::uint32_t stored;
        std::size_t validBytes;
        std::uint32_t expected;
    } cases[] = {
        // In 3 * kEntry bytes the header takes part of the first three entries' room.
        {1000, kHeader + 3 * kEntry, 3}, {1000, 3 * kEntry, 2},
        {1000, kHeader + kEntry - 1, 0}, {1000, kHeader - 1, 0},
        {2, kHeader + 3 * kEntry, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.stored << " stored, " << c.validBytes << " bytes");
        TokenGroupsBuffer buffer(TokenGroupsBuffer::kMinimumBytes);
        std::memcpy(static_cast<unsigned char*>(buffer.data()) +
                        offsetof(TokenGroupsHeader, GroupCount),
                    &c.stored, sizeof c.stored);
        EXPECT_EQ(buffer.GroupCount(c.validBytes), c.expected);
    }
}

} // namespace
} // namespace dovrel
