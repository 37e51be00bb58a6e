// Private folders and the trust test for existing ones, on Windows security descriptors.

#include <windows.h>

#include <aclapi.h>

#include <array>
#include <vector>

#include "host/win32/unique_handle.h"
#include "host/win32/win32_host.h"

namespace nv::host {
namespace {

inline void FreeLocal(HLOCAL memory) noexcept {
    ::LocalFree(memory);
}
using UniqueLocalMemory = UniqueHandle<HLOCAL, FreeLocal>;

// Rights that let a holder change what a folder holds or who may use it.
constexpr DWORD kWritingRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                 FILE_DELETE_CHILD | FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC |
                                 WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED;

// A SID in a buffer of its own.
class SidBuffer {
public:
    bool MakeWellKnown(WELL_KNOWN_SID_TYPE type) {
        DWORD size = static_cast<DWORD>(bytes_.size());
        return ::CreateWellKnownSid(type, nullptr, bytes_.data(), &size) != FALSE;
    }
    bool CopyFrom(PSID sid) {
        return ::IsValidSid(sid) &&
               ::CopySid(static_cast<DWORD>(bytes_.size()), bytes_.data(), sid) != FALSE;
    }
    PSID Get() { return bytes_.data(); }

private:
    alignas(DWORD) std::array<unsigned char, SECURITY_MAX_SID_SIZE> bytes_{};
};

// Administrators, SYSTEM and the user the process runs as: the only ones a private folder
// admits, and the owners an existing folder may have.
class TrustedSids {
public:
    bool Load() {
        return administrators_.MakeWellKnown(WinBuiltinAdministratorsSid) &&
               system_.MakeWellKnown(WinLocalSystemSid) &&
               creatorOwner_.MakeWellKnown(WinCreatorOwnerSid) && LoadUser();
    }
    std::array<PSID, 3> All() { return {administrators_.Get(), system_.Get(), user_.Get()}; }
    bool IsTrusted(PSID sid) {
        for (PSID trusted : All()) {
            if (::EqualSid(sid, trusted)) {
                return true;
            }
        }
        return false;
    }
    // The placeholder an inheritable entry uses for whoever creates an object inside.
    bool IsCreatorOwner(PSID sid) { return ::EqualSid(sid, creatorOwner_.Get()) != FALSE; }

private:
    bool LoadUser() {
        UniqueKernelHandle token;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Put())) {
            return false;
        }
        DWORD size = 0;
        ::GetTokenInformation(token.Get(), ::TokenUser, nullptr, 0, &size);
        if (size < sizeof(TOKEN_USER)) {
            return false;
        }
        std::vector<void*> block((size + sizeof(void*) - 1) / sizeof(void*));
        if (!::GetTokenInformation(token.Get(), ::TokenUser, block.data(), size, &size)) {
            return false;
        }
        return user_.CopyFrom(reinterpret_cast<const TOKEN_USER*>(block.data())->User.Sid);
    }

    SidBuffer administrators_;
    SidBuffer system_;
    SidBuffer creatorOwner_;
    SidBuffer user_;
};

// True when no entry of `dacl` lets anyone but the trusted grant themselves writing rights.
// Denying entries are not credited, and entry kinds this does not read count against.
bool OnlyTrustedMayWrite(PACL dacl, TrustedSids& trusted) {
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) {
            return false;
        }
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
            continue;
        }
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            return false;
        }
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        PSID sid = &allowed->SidStart;
        if (trusted.IsTrusted(sid) || trusted.IsCreatorOwner(sid)) {
            continue;
        }
        if ((allowed->Mask & kWritingRights) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool Win32Host::CreatePrivateFolder(const std::string& path) {
    TrustedSids trusted;
    if (!trusted.Load()) {
        return false;
    }
    DWORD aclSize = sizeof(ACL);
    for (PSID sid : trusted.All()) {
        aclSize += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(sid);
    }
    std::vector<DWORD> aclBuffer((aclSize + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* acl = reinterpret_cast<PACL>(aclBuffer.data());
    if (!::InitializeAcl(acl, aclSize, ACL_REVISION)) {
        return false;
    }
    for (PSID sid : trusted.All()) {
        if (!::AddAccessAllowedAceEx(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE,
                                     FILE_ALL_ACCESS, sid)) {
            return false;
        }
    }
    SECURITY_DESCRIPTOR descriptor{};
    if (!::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) ||
        // Protected: the parent's inheritable entries (such as "users may modify" on a
        // drive's root) do not reach it.
        !::SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
        return false;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    return ::CreateDirectoryA(path.c_str(), &attributes) != FALSE;
}

bool Win32Host::IsSafeExistingFolder(const std::string& path) {
    // The folder itself, not what a link or junction in its place points to.
    UniqueFileHandle folder(::CreateFileA(
        path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!folder) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(folder.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return false;
    }
    TrustedSids trusted;
    if (!trusted.Load()) {
        return false;
    }
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(folder.Get(), SE_FILE_OBJECT,
                          OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                          &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueLocalMemory descriptorMemory(descriptor);
    // No list at all means everyone may do everything.
    return owner != nullptr && ::IsValidSid(owner) && trusted.IsTrusted(owner) && dacl != nullptr &&
           OnlyTrustedMayWrite(dacl, trusted);
}

}  // namespace nv::host
