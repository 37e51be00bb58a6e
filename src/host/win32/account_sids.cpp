#include "host/win32/account_sids.h"

#include <vector>

#include "win32/unique_handle.h"

namespace nv::host {
namespace {

// NT SERVICE\TrustedInstaller: S-1-5-80 followed by the hash of the service's name.
constexpr std::array<DWORD, 6> kTrustedInstaller{
    SECURITY_SERVICE_ID_BASE_RID, 956008885U, 3418522649U, 1831038044U, 1853292631U, 2271478464U};

UniqueKernelHandle OpenOwnToken() {
    UniqueKernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Put())) {
        return UniqueKernelHandle();
    }
    return token;
}

// A SID the token names (its user, or its default owner), copied into `sid`.
bool CopyTokenSid(HANDLE token, TOKEN_INFORMATION_CLASS kind, SidBuffer& sid) {
    DWORD size = 0;
    ::GetTokenInformation(token, kind, nullptr, 0, &size);
    if (size < sizeof(void*)) {
        return false;
    }
    std::vector<void*> block((size + sizeof(void*) - 1) / sizeof(void*));
    if (!::GetTokenInformation(token, kind, block.data(), size, &size)) {
        return false;
    }
    // TOKEN_USER and TOKEN_OWNER both begin with the SID's address.
    return sid.CopyFrom(kind == ::TokenUser
                            ? reinterpret_cast<const TOKEN_USER*>(block.data())->User.Sid
                            : reinterpret_cast<const TOKEN_OWNER*>(block.data())->Owner);
}

}  // namespace

bool SidBuffer::MakeWellKnown(WELL_KNOWN_SID_TYPE type) {
    DWORD size = static_cast<DWORD>(bytes_.size());
    return ::CreateWellKnownSid(type, nullptr, bytes_.data(), &size) != FALSE;
}

bool SidBuffer::MakeNtAuthority(const DWORD* subAuthorities, std::size_t count) {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    if (count > SID_MAX_SUB_AUTHORITIES ||
        ::GetSidLengthRequired(static_cast<UCHAR>(count)) > bytes_.size() ||
        !::InitializeSid(Get(), &ntAuthority, static_cast<BYTE>(count))) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        *::GetSidSubAuthority(Get(), static_cast<DWORD>(i)) = subAuthorities[i];
    }
    return true;
}

bool SidBuffer::CopyFrom(PSID sid) {
    return ::IsValidSid(sid) &&
           ::CopySid(static_cast<DWORD>(bytes_.size()), bytes_.data(), sid) != FALSE;
}

bool RunsUnderWine() {
    static const bool wine =
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

bool TrustedWriters::AccountIsTrustedWriter() {
    if (RunsUnderWine()) {
        return true;
    }
    const UniqueKernelHandle token = OpenOwnToken();
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    if (token &&
        ::GetTokenInformation(token.Get(), ::TokenElevationType, &type, sizeof type, &size)) {
        return type != TokenElevationTypeFull;
    }
    // A system that cannot tell has no split tokens.
    return true;
}

bool TrustedWriters::Load(bool includeAccount) {
    if (!administrators_.MakeWellKnown(WinBuiltinAdministratorsSid) ||
        !system_.MakeWellKnown(WinLocalSystemSid) ||
        !trustedInstaller_.MakeNtAuthority(kTrustedInstaller)) {
        return false;
    }
    const UniqueKernelHandle token = OpenOwnToken();
    SidBuffer creator;
    if (!token || !CopyTokenSid(token.Get(), ::TokenUser, account_) ||
        !CopyTokenSid(token.Get(), ::TokenOwner, creator)) {
        return false;
    }
    includeAccount_ = includeAccount;
    creatorTrusted_ = Includes(creator.Get());
    return true;
}

bool TrustedWriters::Includes(PSID sid) {
    for (PSID trusted : {administrators_.Get(), system_.Get(), trustedInstaller_.Get()}) {
        if (::EqualSid(sid, trusted)) {
            return true;
        }
    }
    return includeAccount_ && ::EqualSid(sid, account_.Get()) != FALSE;
}

bool IsProcessElevated() {
    const UniqueKernelHandle token = OpenOwnToken();
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return token &&
           ::GetTokenInformation(token.Get(), ::TokenElevation, &elevation, sizeof elevation,
                                 &size) &&
           elevation.TokenIsElevated != 0;
}

}  // namespace nv::host
