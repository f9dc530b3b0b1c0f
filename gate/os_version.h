#pragma once

#include <string>

#include "platform/version_record.h"

namespace dovrel {

// The service-pack field of the last version query that named Windows XP,
// all 128 characters of it; empty until then.
extern std::wstring sServicePack;

// Names the running Windows version from a fresh version record: "Windows XP",
// "Windows Vista", ..., "Failed" when the platform id is unknown (as when the
// query left the record untouched), or "" when no name fits.
std::wstring GetOSVersion(IVersionRecordSource& source);

} // namespace dovrel
