#pragma once

#include <cstdint>
#include <string>

namespace dovrel {

inline constexpr std::uint32_t kVersionRecordSize = 148;
inline constexpr std::size_t kServicePackFieldLength = 128;

// The system's version record: five 32-bit fields and the 128-character
// service-pack field.
struct VersionRecord {
    std::uint32_t osVersionInfoSize = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;
    std::wstring csdVersion;
};

// Fills the record in place, as the system's version query does. The
// service-pack text goes out and comes back through the ANSI code page.
class IVersionRecordSource {
public:
    virtual ~IVersionRecordSource() = default;
    virtual void QueryVersion(VersionRecord& record) = 0;
};

} // namespace dovrel
