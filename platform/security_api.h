#pragma once

#include <cstdint>
#include <string>

namespace dovrel {

using SystemHandle = std::uintptr_t;
using SidPointer = void*;

// The six bytes of a SID's identifier authority.
struct SidIdentifierAuthority {
    std::uint8_t value[6];
};

// The layout the system uses for a token's groups (TOKEN_GROUPS): a count, then
// that many SID pointers with their attributes. The SIDs themselves live in the
// same buffer, after the entries.
struct SidAndAttributes {
    SidPointer Sid;
    std::uint32_t Attributes;
};
struct TokenGroupsHeader {
    std::uint32_t GroupCount;
    SidAndAttributes Groups[1];
};

inline constexpr int kTokenGroupsClass = 2;

// The process-token and account calls the administrator check makes. Each
// returns what the system call returns (1 for success); none raises.
class ISecurityApi {
public:
    virtual ~ISecurityApi() = default;
    virtual SystemHandle GetCurrentProcess() = 0;
    virtual int OpenProcessToken(SystemHandle process, std::uint32_t desiredAccess,
                                 SystemHandle* token) = 0;
    virtual int GetTokenInformation(SystemHandle token, int informationClass, void* buffer,
                                    std::uint32_t length, std::uint32_t* returnLength) = 0;
    virtual int AllocateAndInitializeSid(const SidIdentifierAuthority& authority,
                                         std::uint8_t subAuthorityCount,
                                         const std::uint32_t (&subAuthorities)[8],
                                         SidPointer* sid) = 0;
    // Names travel through the ANSI code page. `name` and `domain` are the
    // caller's space-filled buffers and keep their full length; the counts are
    // in/out as for the system call.
    virtual int LookupAccountSidA(SidPointer sid, std::wstring& name, std::uint32_t& nameCount,
                                  std::wstring& domain, std::uint32_t& domainCount,
                                  int& accountType) = 0;
    virtual void FreeSid(SidPointer sid) = 0;
    virtual int CloseHandle(SystemHandle handle) = 0;
};

} // namespace dovrel
