#include "host/win32/folder_trust.h"

#include <aclapi.h>

#include "win32/unique_handle.h"

namespace nv::host {
namespace {

inline void FreeLocal(HLOCAL memory) noexcept {
    ::LocalFree(memory);
}
using UniqueLocalMemory = UniqueHandle<HLOCAL, FreeLocal>;

// Rights that let a holder change what a folder holds or who may use it: writing data (in a
// folder: adding files), appending (adding folders), deleting it or what it holds, its
// attributes, its access list and its owner, and the generic rights that include them.
constexpr DWORD kWritingRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                 FILE_DELETE_CHILD | FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC |
                                 WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED;
// Of those, the ones that let a holder of a folder above the one the program uses take that
// one away or put another in its place: deleting or renaming what the folder holds, or the
// folder itself, and taking over its access list.
constexpr DWORD kRedirectingRights =
    FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_ALL | MAXIMUM_ALLOWED;

DWORD RightsThatCount(FolderRole role) {
    switch (role) {
        case FolderRole::kWrittenInto:
            return kWritingRights;
        case FolderRole::kAbove:
            return kRedirectingRights;
        case FolderRole::kRootAbove:
            return kRedirectingRights & ~DWORD{DELETE};
    }
    return kWritingRights;
}

// True when no allowed entry of `dacl` gives anyone but the trusted writers a right that
// counts for `role`. Denying entries are not credited, and allowing entries of kinds this
// does not read count against.
bool OnlyTrustedMayWrite(PACL dacl, TrustedWriters& trusted, FolderRole role) {
    SidBuffer creatorOwner;
    if (!creatorOwner.MakeWellKnown(WinCreatorOwnerSid)) {
        return false;
    }
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) {
            return false;
        }
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
            continue;  // taking away
        }
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            return false;
        }
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        PSID sid = &allowed->SidStart;
        if (trusted.Includes(sid)) {
            continue;
        }
        const bool here = (header->AceFlags & INHERIT_ONLY_ACE) == 0;
        const bool passedOn =
            (header->AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE)) != 0;
        // What is created inside inherits the entry; CREATOR OWNER then stands for the
        // creator, this process, and harms only where that is not a trusted writer.
        const bool reachesWhatIsCreated =
            role == FolderRole::kWrittenInto && passedOn &&
            !(::EqualSid(sid, creatorOwner.Get()) != FALSE && trusted.CreatorIsTrusted());
        if (here && (allowed->Mask & RightsThatCount(role)) != 0) {
            return false;
        }
        if (reachesWhatIsCreated && (allowed->Mask & kWritingRights) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsTrustedFolder(HANDLE folder, TrustedWriters& writers, FolderRole role) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(folder, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return false;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(folder, SE_FILE_OBJECT,
                          OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueLocalMemory descriptorMemory(descriptor);
    return IsTrustedDescriptor(descriptor, writers, role);
}

bool IsTrustedDescriptor(PSECURITY_DESCRIPTOR descriptor, TrustedWriters& trusted,
                         FolderRole role) {
    PSID owner = nullptr;
    BOOL ownerDefaulted = FALSE;
    BOOL daclPresent = FALSE;
    PACL dacl = nullptr;
    BOOL daclDefaulted = FALSE;
    if (!::GetSecurityDescriptorOwner(descriptor, &owner, &ownerDefaulted) ||
        !::GetSecurityDescriptorDacl(descriptor, &daclPresent, &dacl, &daclDefaulted)) {
        return false;
    }
    // No list at all (absent or null) means everyone may do everything.
    return owner != nullptr && ::IsValidSid(owner) && trusted.Includes(owner) && daclPresent &&
           dacl != nullptr && OnlyTrustedMayWrite(dacl, trusted, role);
}

}  // namespace nv::host
