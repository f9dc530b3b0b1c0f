#include "gate/admin_check.h"

#include <cstdint>
#include <string>
#include <utility>

#include "gate/token_groups_buffer.h"

namespace dovrel {

namespace {

constexpr std::uint32_t kTokenRead = 0x20008; // READ_CONTROL | TOKEN_QUERY
constexpr SidIdentifierAuthority kNtAuthority = {{0, 0, 0, 0, 0, 5}};
constexpr std::uint8_t kAdministratorsSubAuthorityCount = 2;
constexpr std::uint32_t kAdministratorsSubAuthorities[8] = {32, 544, 0, 0, 0, 0, 0, 0};
constexpr std::uint32_t kNameCapacity = 255;

// Runs `release` when the scope ends, on every path. Guards go in reverse
// order of declaration, so what was obtained is released SID first, then
// token, then process handle.
template <typename Release> class ReleaseAtScopeEnd {
public:
    explicit ReleaseAtScopeEnd(Release release) : release_(std::move(release)) {}
    ~ReleaseAtScopeEnd() { release_(); }
    ReleaseAtScopeEnd(const ReleaseAtScopeEnd&) = delete;
    ReleaseAtScopeEnd& operator=(const ReleaseAtScopeEnd&) = delete;

private:
    Release release_;
};

// One lookup into fresh space-filled buffers of full capacity. The name keeps
// that length (name, NUL, then what the call left), so names compare whole.
struct AccountLookup {
    bool succeeded;
    std::wstring name;
};

AccountLookup LookUpAccount(ISecurityApi& api, SidPointer sid) {
    std::wstring name(kNameCapacity, L' ');
    std::wstring domain(kNameCapacity, L' ');
    std::uint32_t nameCount = kNameCapacity;
    std::uint32_t domainCount = kNameCapacity;
    int accountType = 0;
    const int result =
        api.LookupAccountSidA(sid, name, nameCount, domain, domainCount, accountType);
    return {result == 1, std::move(name)};
}

} // namespace

bool IsUserAdmin(ISecurityApi& api) {
    const SystemHandle process = api.GetCurrentProcess();
    if (process == 0)
        return false;
    const ReleaseAtScopeEnd processGuard([&] { api.CloseHandle(process); });

    SystemHandle token = 0;
    const int opened = api.OpenProcessToken(process, kTokenRead, &token);
    // A token the call did hand out is closed even when the flag is not 1.
    const ReleaseAtScopeEnd tokenGuard([&] {
        if (opened != 0 && token != 0)
            api.CloseHandle(token);
    });
    if (opened != 1)
        return false;

    TokenGroupsBuffer groups(TokenGroupsBuffer::kMinimumBytes);
    std::uint32_t reported = 0;
    if (api.GetTokenInformation(token, kTokenGroupsClass, groups.data(), 0, &reported) != 0 ||
        static_cast<std::int32_t>(reported) <= 0)
        return false;
    if (reported > groups.size())
        groups = TokenGroupsBuffer(reported);
    std::uint32_t written = 0;
    if (api.GetTokenInformation(token, kTokenGroupsClass, groups.data(), reported, &written) != 1)
        return false;

    SidPointer administrators = nullptr;
    const int allocated =
        api.AllocateAndInitializeSid(kNtAuthority, kAdministratorsSubAuthorityCount,
                                     kAdministratorsSubAuthorities, &administrators);
    const ReleaseAtScopeEnd sidGuard([&] {
        if (allocated != 0 && administrators != nullptr)
            api.FreeSid(administrators);
    });
    if (allocated != 1)
        return false;

    const AccountLookup admin = LookUpAccount(api, administrators);
    if (!admin.succeeded)
        return false;

    const std::uint32_t count = groups.GroupCount(reported);
    for (std::uint32_t index = 0; index < count; ++index) {
        if (LookUpAccount(api, groups.GroupSid(index)).name == admin.name)
            return true;
    }
    return false;
}

} // namespace dovrel
