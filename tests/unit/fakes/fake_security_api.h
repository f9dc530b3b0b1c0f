#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/security_api.h"
#include "tests/unit/fakes/call_log.h"

namespace dovrel::testing {

struct FakeGroup {
    std::wstring name;
    std::wstring domain = L"BUILTIN";
    std::uint32_t attributes = 0x7; // mandatory, enabled by default, enabled
    bool hasName = true;            // false: a SID with no account (a logon SID)
};

inline constexpr std::uint32_t kGroupUseForDenyOnly = 0x10;

// A process token with groups, and the account names of their SIDs. Writes the
// groups as the system does (count, entries, then the SIDs themselves in the
// same block) and logs every call with the values that matter, naming the
// handles and SIDs it handed out. Whatever breaks the calls' contract goes to
// `problems`.
class FakeSecurityApi : public ISecurityApi {
public:
    explicit FakeSecurityApi(CallLog& log) : log_(log) {}

    static constexpr SystemHandle kProcess = 0xFFFFFFFFu; // the pseudo-handle
    static constexpr SystemHandle kToken = 0x2C4;
    static constexpr std::size_t kSidBytes = 16;

    // --- arrangement
    SystemHandle processHandle = kProcess;
    int openTokenResult = 1;
    int sizeQueryResult = 0;
    std::optional<std::uint32_t> sizeQueryReport; // default: the size the groups need
    int groupsResult = 1;
    std::optional<std::uint32_t> storedGroupCount; // default: the real count
    int allocateResult = 1;
    bool adminLookupSucceeds = true;
    std::wstring adminName = L"Administrators";
    std::wstring adminDomain = L"BUILTIN";
    std::vector<FakeGroup> groups;

    // --- observation
    std::vector<std::wstring> problems;
    std::uint32_t lastGroupsLength = 0;

    std::vector<std::wstring> Calls() const {
        std::vector<std::wstring> out;
        for (const auto& call : log_.calls)
            if (call.compare(0, kPrefix.size(), kPrefix) == 0)
                out.push_back(call.substr(kPrefix.size()));
        return out;
    }

    std::uint32_t GroupsSize() const {
        return static_cast<std::uint32_t>(kEntriesOffset +
                                          groups.size() * (sizeof(SidAndAttributes) + kSidBytes));
    }

    // --- ISecurityApi
    SystemHandle GetCurrentProcess() override {
        Log(L"GetCurrentProcess");
        return processHandle;
    }

    int OpenProcessToken(SystemHandle process, std::uint32_t desiredAccess,
                         SystemHandle* token) override {
        Log(L"OpenProcessToken " + HandleName(process) + L" access " + Hex(desiredAccess));
        if (openTokenResult != 0)
            *token = kToken;
        return openTokenResult;
    }

    int GetTokenInformation(SystemHandle token, int informationClass, void* buffer,
                            std::uint32_t length, std::uint32_t* returnLength) override {
        Log(L"GetTokenInformation " + HandleName(token) + L" class " +
            std::to_wstring(informationClass) + L" length " + std::to_wstring(length));
        const std::uint32_t needed = GroupsSize();
        if (length == 0) {
            *returnLength = sizeQueryReport.value_or(needed);
            return sizeQueryResult;
        }
        lastGroupsLength = length;
        CheckBuffer(buffer, length);
        *returnLength = needed;
        if (groupsResult != 1 || length < needed)
            return groupsResult == 1 ? 0 : groupsResult;
        WriteGroups(static_cast<unsigned char*>(buffer));
        return 1;
    }

    int AllocateAndInitializeSid(const SidIdentifierAuthority& authority,
                                 std::uint8_t subAuthorityCount,
                                 const std::uint32_t (&subAuthorities)[8],
                                 SidPointer* sid) override {
        std::wstring call = L"AllocateAndInitializeSid authority";
        for (std::uint8_t byte : authority.value)
            call += L" " + std::to_wstring(byte);
        call += L" count " + std::to_wstring(subAuthorityCount) + L" subauthorities";
        for (std::uint32_t sub : subAuthorities)
            call += L" " + std::to_wstring(sub);
        Log(call);
        if (allocateResult != 0)
            *sid = adminSid_;
        return allocateResult;
    }

    int LookupAccountSidA(SidPointer sid, std::wstring& name, std::uint32_t& nameCount,
                          std::wstring& domain, std::uint32_t& domainCount,
                          int& accountType) override {
        const std::wstring which = SidName(sid);
        Log(L"LookupAccountSidA " + which);
        if (name != std::wstring(255, L' ') || domain != std::wstring(255, L' ') ||
            nameCount != 255 || domainCount != 255)
            problems.push_back(L"lookup of " + which + L" without fresh 255-space buffers");
        if (sid == adminSid_)
            return adminLookupSucceeds ? Answer(adminName, adminDomain, name, nameCount, domain,
                                                domainCount, accountType)
                                       : 0;
        auto found = sidIndex_.find(sid);
        if (found == sidIndex_.end() || !groups[found->second].hasName)
            return 0;
        const FakeGroup& group = groups[found->second];
        return Answer(group.name, group.domain, name, nameCount, domain, domainCount, accountType);
    }

    void FreeSid(SidPointer sid) override {
        Log(L"FreeSid " + SidName(sid));
        if (sid != adminSid_)
            problems.push_back(L"FreeSid of a SID not allocated");
    }

    int CloseHandle(SystemHandle handle) override {
        Log(L"CloseHandle " + HandleName(handle));
        return 1;
    }

private:
    static constexpr std::size_t kEntriesOffset = offsetof(TokenGroupsHeader, Groups);
    inline static const std::wstring kPrefix = L"security.";

    void Log(const std::wstring& call) { log_.Add(kPrefix + call); }

    static std::wstring Hex(std::uint32_t value) {
        std::wostringstream out;
        out << L"0x" << std::uppercase << std::hex << value;
        return out.str();
    }

    std::wstring HandleName(SystemHandle handle) const {
        if (handle == processHandle && handle != 0)
            return L"process";
        if (handle == kToken)
            return L"token";
        return L"handle " + std::to_wstring(handle);
    }

    std::wstring SidName(SidPointer sid) const {
        if (sid == adminSid_)
            return L"Administrators SID";
        auto found = sidIndex_.find(sid);
        if (found != sidIndex_.end())
            return L"group " + std::to_wstring(found->second);
        return L"unknown SID";
    }

    // The whole length the call is told it may fill must be there, zeroed and
    // aligned for the entries (a short buffer shows up under AddressSanitizer).
    void CheckBuffer(const void* buffer, std::uint32_t length) {
        if (reinterpret_cast<std::uintptr_t>(buffer) % alignof(TokenGroupsHeader) != 0)
            problems.push_back(L"group buffer not aligned");
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        if (std::any_of(bytes, bytes + length, [](unsigned char b) { return b != 0; }))
            problems.push_back(L"group buffer not zero-filled");
    }

    void WriteGroups(unsigned char* buffer) {
        const std::uint32_t count =
            storedGroupCount.value_or(static_cast<std::uint32_t>(groups.size()));
        std::memcpy(buffer + offsetof(TokenGroupsHeader, GroupCount), &count, sizeof count);
        unsigned char* sids = buffer + kEntriesOffset + groups.size() * sizeof(SidAndAttributes);
        sidIndex_.clear();
        for (std::size_t i = 0; i < groups.size(); ++i) {
            unsigned char* sid = sids + i * kSidBytes;
            std::memset(sid, 0xA0 + static_cast<int>(i % 16), kSidBytes);
            const SidAndAttributes entry{sid, groups[i].attributes};
            std::memcpy(buffer + kEntriesOffset + i * sizeof entry, &entry, sizeof entry);
            sidIndex_[sid] = i;
        }
    }

    // The system writes the text and its NUL at the start of each buffer and
    // leaves the rest; the counts become the text lengths.
    static int Answer(const std::wstring& accountName, const std::wstring& accountDomain,
                      std::wstring& name, std::uint32_t& nameCount, std::wstring& domain,
                      std::uint32_t& domainCount, int& accountType) {
        name.replace(0, accountName.size() + 1, accountName + L'\0');
        domain.replace(0, accountDomain.size() + 1, accountDomain + L'\0');
        nameCount = static_cast<std::uint32_t>(accountName.size());
        domainCount = static_cast<std::uint32_t>(accountDomain.size());
        accountType = 4; // an alias
        return 1;
    }

    CallLog& log_;
    unsigned char adminSid_[kSidBytes] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 32, 2, 0, 0};
    std::map<const void*, std::size_t> sidIndex_;
};

} // namespace dovrel::testing
