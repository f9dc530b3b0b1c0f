#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/version_record.h"
#include "tests/unit/fakes/call_log.h"

namespace dovrel::testing {

// Answers the version query as the system does: the five numbers, and the
// service-pack text written over the start of the field with its NUL, the
// rest of the field left as the caller prepared it. Keeps what it was given.
class FakeVersionRecordSource : public IVersionRecordSource {
public:
    explicit FakeVersionRecordSource(CallLog& log) : log_(log) {}

    void QueryVersion(VersionRecord& record) override {
        log_.Add(L"version.QueryVersion");
        received.push_back(record);
        if (leaveUntouched)
            return;
        record.majorVersion = majorVersion;
        record.minorVersion = minorVersion;
        record.buildNumber = buildNumber;
        record.platformId = platformId;
        const std::wstring written = servicePack + L'\0';
        record.csdVersion.replace(0, std::min(written.size(), record.csdVersion.size()), written, 0,
                                  std::min(written.size(), record.csdVersion.size()));
    }

    void Report(std::uint32_t platform, std::uint32_t major, std::uint32_t minor,
                std::wstring text = std::wstring()) {
        platformId = platform;
        majorVersion = major;
        minorVersion = minor;
        servicePack = std::move(text);
    }

    std::uint32_t platformId = 2;
    std::uint32_t majorVersion = 5;
    std::uint32_t minorVersion = 1;
    std::uint32_t buildNumber = 2600;
    std::wstring servicePack = L"Service Pack 3";
    // A failed query: the record stays as prepared.
    bool leaveUntouched = false;

    std::vector<VersionRecord> received;

private:
    CallLog& log_;
};

} // namespace dovrel::testing
