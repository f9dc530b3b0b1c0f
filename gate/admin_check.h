#pragma once

#include "platform/security_api.h"

namespace dovrel {

// True when one of the process token's groups bears the account name of the
// built-in Administrators group. Names, not SIDs, are compared, so deny-only
// and foreign-domain groups of that name count too. Every failure answers false.
bool IsUserAdmin(ISecurityApi& api);

} // namespace dovrel
