#include "automation/registry_key_refusal.h"

#include <stdexcept>

#include "automation/registry.h"
#include "automation/unique_handle.h"

namespace dovrel::automation {

namespace {

UniqueSid Everyone() {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID sid = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &sid))
        throw std::runtime_error("could not make the Everyone SID");
    return UniqueSid(sid);
}

} // namespace

ScopedKeyRefusal::ScopedKeyRefusal(HKEY root, std::wstring key, REGSAM denied)
    : root_(root), key_(std::move(key)) {
    DeleteKeyTree(root_, key_);
    const UniqueRegistryKey created = CreateKey(root_, key_, KEY_ALL_ACCESS);

    const UniqueSid everyone = Everyone();
    alignas(DWORD) BYTE aclBuffer[256] = {};
    auto* acl = reinterpret_cast<PACL>(aclBuffer);
    SECURITY_DESCRIPTOR descriptor{};
    // Denials come first in an access list; everything else stays allowed, so
    // the key can still be deleted.
    if (!InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION) ||
        !AddAccessDeniedAce(acl, ACL_REVISION, denied, everyone.get()) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone.get()) ||
        !InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE))
        throw std::runtime_error("could not build the refusing access list");
    const LONG status = RegSetKeySecurity(created.get(), DACL_SECURITY_INFORMATION, &descriptor);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("could not restrict the refusing key (error " +
                                 std::to_string(status) + ")");

    if (OpenKey(root_, key_, denied)) {
        DeleteKeyTree(root_, key_);
        throw std::runtime_error("the registry grants this program what the access list denies");
    }
}

ScopedKeyRefusal::~ScopedKeyRefusal() {
    try {
        Lift();
    } catch (const std::exception&) {
        // The next test's start deletes it again.
    }
}

void ScopedKeyRefusal::Lift() {
    if (lifted_)
        return;
    DeleteKeyTree(root_, key_);
    lifted_ = true;
}

} // namespace dovrel::automation
