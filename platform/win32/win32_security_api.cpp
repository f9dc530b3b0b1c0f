#include "platform/win32/win32_security_api.h"

#include <windows.h>

#include <cstddef>
#include <string>

#include "platform/win32/system_text.h"

namespace dovrel {

static_assert(sizeof(SidIdentifierAuthority) == sizeof(SID_IDENTIFIER_AUTHORITY),
              "identifier authority layout");
static_assert(sizeof(SidAndAttributes) == sizeof(SID_AND_ATTRIBUTES), "group entry size");
static_assert(offsetof(SidAndAttributes, Sid) == offsetof(SID_AND_ATTRIBUTES, Sid),
              "group entry SID");
static_assert(offsetof(SidAndAttributes, Attributes) == offsetof(SID_AND_ATTRIBUTES, Attributes),
              "group entry attributes");
static_assert(sizeof(TokenGroupsHeader) == sizeof(TOKEN_GROUPS), "token groups size");
static_assert(offsetof(TokenGroupsHeader, GroupCount) == offsetof(TOKEN_GROUPS, GroupCount),
              "token groups count");
static_assert(offsetof(TokenGroupsHeader, Groups) == offsetof(TOKEN_GROUPS, Groups),
              "token groups entries");
static_assert(alignof(TokenGroupsHeader) == alignof(TOKEN_GROUPS), "token groups alignment");
static_assert(kTokenGroupsClass == TokenGroups, "token groups class");

namespace {

HANDLE ToHandle(SystemHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

SystemHandle FromHandle(HANDLE handle) {
    return reinterpret_cast<SystemHandle>(handle);
}

// An ANSI copy of a caller's buffer, never shorter than the count the call is
// told it may fill.
std::string AnsiBuffer(const std::wstring& text, std::uint32_t capacity) {
    std::string buffer = WideToAnsi(text);
    if (buffer.size() < capacity)
        buffer.resize(capacity, ' ');
    return buffer;
}

// Back into the caller's buffer, all of it, at the length it had.
void CopyBack(const std::string& buffer, std::wstring& text) {
    const std::size_t length = text.size();
    text = AnsiToWide(buffer);
    text.resize(length, L' ');
}

} // namespace

SystemHandle Win32SecurityApi::GetCurrentProcess() {
    return FromHandle(::GetCurrentProcess());
}

int Win32SecurityApi::OpenProcessToken(SystemHandle process, std::uint32_t desiredAccess,
                                       SystemHandle* token) {
    HANDLE opened = nullptr;
    const BOOL result = ::OpenProcessToken(ToHandle(process), desiredAccess, &opened);
    *token = FromHandle(opened);
    return result;
}

int Win32SecurityApi::GetTokenInformation(SystemHandle token, int informationClass, void* buffer,
                                          std::uint32_t length, std::uint32_t* returnLength) {
    DWORD needed = 0;
    const BOOL result = ::GetTokenInformation(
        ToHandle(token), static_cast<TOKEN_INFORMATION_CLASS>(informationClass), buffer, length,
        &needed);
    *returnLength = needed;
    return result;
}

int Win32SecurityApi::AllocateAndInitializeSid(const SidIdentifierAuthority& authority,
                                               std::uint8_t subAuthorityCount,
                                               const std::uint32_t (&subAuthorities)[8],
                                               SidPointer* sid) {
    SID_IDENTIFIER_AUTHORITY systemAuthority;
    for (std::size_t i = 0; i < sizeof authority.value; ++i)
        systemAuthority.Value[i] = authority.value[i];
    PSID allocated = nullptr;
    const BOOL result = ::AllocateAndInitializeSid(
        &systemAuthority, subAuthorityCount, subAuthorities[0], subAuthorities[1],
        subAuthorities[2], subAuthorities[3], subAuthorities[4], subAuthorities[5],
        subAuthorities[6], subAuthorities[7], &allocated);
    *sid = allocated;
    return result;
}

int Win32SecurityApi::LookupAccountSidA(SidPointer sid, std::wstring& name,
                                        std::uint32_t& nameCount, std::wstring& domain,
                                        std::uint32_t& domainCount, int& accountType) {
    std::string nameBuffer = AnsiBuffer(name, nameCount);
    std::string domainBuffer = AnsiBuffer(domain, domainCount);
    DWORD nameLength = nameCount;
    DWORD domainLength = domainCount;
    SID_NAME_USE use = SidTypeUnknown;
    const BOOL result = ::LookupAccountSidA(nullptr, sid, &nameBuffer[0], &nameLength,
                                            &domainBuffer[0], &domainLength, &use);
    nameCount = nameLength;
    domainCount = domainLength;
    accountType = static_cast<int>(use);
    CopyBack(nameBuffer, name);
    CopyBack(domainBuffer, domain);
    return result;
}

void Win32SecurityApi::FreeSid(SidPointer sid) {
    ::FreeSid(sid);
}

int Win32SecurityApi::CloseHandle(SystemHandle handle) {
    return ::CloseHandle(ToHandle(handle));
}

} // namespace dovrel
