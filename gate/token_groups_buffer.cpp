#include "gate/token_groups_buffer.h"

#include <algorithm>
#include <cstring>

namespace dovrel {

namespace {

constexpr std::size_t kEntriesOffset = offsetof(TokenGroupsHeader, Groups);

} // namespace

TokenGroupsBuffer::TokenGroupsBuffer(std::size_t bytes)
    : bytes_(std::max(bytes, kMinimumBytes)),
      storage_((bytes_ + sizeof(Unit) - 1) / sizeof(Unit), 0) {}

const unsigned char* TokenGroupsBuffer::bytes() const {
    return reinterpret_cast<const unsigned char*>(storage_.data());
}

std::uint32_t TokenGroupsBuffer::GroupCount(std::size_t validBytes) const {
    const std::size_t limit = std::min(validBytes, bytes_);
    if (limit < kEntriesOffset)
        return 0;
    const std::size_t fitting = (limit - kEntriesOffset) / sizeof(SidAndAttributes);
    std::uint32_t stored = 0;
    std::memcpy(&stored, bytes() + offsetof(TokenGroupsHeader, GroupCount), sizeof stored);
    return fitting < stored ? static_cast<std::uint32_t>(fitting) : stored;
}

SidPointer TokenGroupsBuffer::GroupSid(std::uint32_t index) const {
    SidAndAttributes entry;
    std::memcpy(&entry, bytes() + kEntriesOffset + index * sizeof(SidAndAttributes), sizeof entry);
    return entry.Sid;
}

} // namespace dovrel
