#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/security_api.h"

namespace dovrel {

// A zero-filled block, aligned for the token-groups layout, that the system
// fills with a token's groups. It never hands out more entries than its bytes
// hold, whatever count the block claims.
class TokenGroupsBuffer {
public:
    static constexpr std::size_t kMinimumBytes = 4012;

    explicit TokenGroupsBuffer(std::size_t bytes);

    void* data() { return storage_.data(); }
    std::size_t size() const { return bytes_; }

    // The group count as stored, limited to the entries that lie inside the
    // first `validBytes` bytes of the block.
    std::uint32_t GroupCount(std::size_t validBytes) const;
    SidPointer GroupSid(std::uint32_t index) const;

private:
    const unsigned char* bytes() const;

    // Whole 64-bit units: zeros with no padding, aligned for the entries' pointers.
    using Unit = std::uint64_t;
    static_assert(alignof(Unit) >= alignof(TokenGroupsHeader), "group block alignment");

    std::size_t bytes_;
    std::vector<Unit> storage_;
};

} // namespace dovrel
