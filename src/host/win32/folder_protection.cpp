#include "host/win32/folder_protection.h"

#include <utility>

#include "host/win32/account_sids.h"

namespace nv::host {
namespace {

// Every entry reaches files and folders made inside later.
constexpr BYTE kInheritToChildren = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
// What Users get in a program folder: list, read and run, nothing that changes anything.
constexpr DWORD kReadAndExecute = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;

}  // namespace

FolderSecurity::FolderSecurity(FolderProtection protection) {
    valid_ = Build(protection);
}

bool FolderSecurity::Build(FolderProtection protection) {
    if (protection == FolderProtection::kInherited) {
        inherited_ = true;
        return true;
    }
    TrustedWriters writers;
    SidBuffer users;
    if (!writers.LoadForThisProcess() || !users.MakeWellKnown(WinBuiltinUsersSid)) {
        return false;
    }
    std::vector<std::pair<PSID, DWORD>> entries{{writers.Administrators(), FILE_ALL_ACCESS},
                                                {writers.System(), FILE_ALL_ACCESS}};
    if (protection == FolderProtection::kProgram) {
        entries.emplace_back(users.Get(), kReadAndExecute);
    } else if (!IsProcessElevated()) {
        // Unelevated, the account needs the folder itself; elevated, its entry would let the
        // account's unelevated programs rewrite what the elevated one put there.
        entries.emplace_back(writers.Account(), FILE_ALL_ACCESS);
    }
    DWORD aclSize = sizeof(ACL);
    for (const auto& entry : entries) {
        aclSize += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(entry.first);
    }
    acl_.assign((aclSize + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    auto* acl = reinterpret_cast<PACL>(acl_.data());
    if (!::InitializeAcl(acl, aclSize, ACL_REVISION)) {
        return false;
    }
    for (const auto& entry : entries) {
        if (!::AddAccessAllowedAceEx(acl, ACL_REVISION, kInheritToChildren, entry.second,
                                     entry.first)) {
            return false;
        }
    }
    // Protected: the parent's inheritable entries (such as "Authenticated Users: Modify" on a
    // drive's root) do not reach the folder.
    if (!::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
        !::SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE) ||
        !::SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
        return false;
    }
    attributes_ = SECURITY_ATTRIBUTES{sizeof attributes_, &descriptor_, FALSE};
    return true;
}

bool CreateFolderWithProtection(const std::string& path, FolderProtection protection) {
    FolderSecurity security(protection);
    return security.IsValid() && ::CreateDirectoryA(path.c_str(), security.Attributes()) != FALSE;
}

}  // namespace nv::host
