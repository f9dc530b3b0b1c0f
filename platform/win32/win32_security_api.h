#pragma once

#include "platform/security_api.h"

namespace dovrel {

// The process-token and account calls, straight onto advapi32 and kernel32.
class Win32SecurityApi : public ISecurityApi {
public:
    SystemHandle GetCurrentProcess() override;
    int OpenProcessToken(SystemHandle process, std::uint32_t desiredAccess,
                         SystemHandle* token) override;
    int GetTokenInformation(SystemHandle token, int informationClass, void* buffer,
                            std::uint32_t length, std::uint32_t* returnLength) override;
    int AllocateAndInitializeSid(const SidIdentifierAuthority& authority,
                                 std::uint8_t subAuthorityCount,
                                 const std::uint32_t (&subAuthorities)[8],
                                 SidPointer* sid) override;
    int LookupAccountSidA(SidPointer sid, std::wstring& name, std::uint32_t& nameCount,
                          std::wstring& domain, std::uint32_t& domainCount,
                          int& accountType) override;
    void FreeSid(SidPointer sid) override;
    int CloseHandle(SystemHandle handle) override;
};

} // namespace dovrel
