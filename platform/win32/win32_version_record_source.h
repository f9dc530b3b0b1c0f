#pragma once

#include "platform/version_record.h"

namespace dovrel {

// The version record from GetVersionExA. The service-pack field crosses the
// ANSI code page both ways and always comes back 128 characters long.
class Win32VersionRecordSource : public IVersionRecordSource {
public:
    void QueryVersion(VersionRecord& record) override;
};

} // namespace dovrel
