#include "host/win32/native_sid.h"

namespace nv::host {

UniqueSid AllocateAdministratorsSid() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    UniqueSid sid;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                    DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, sid.Put())) {
        return UniqueSid();
    }
    return sid;
}

Sid SidFromNative(PSID sid) {
    Sid result;
    const auto* raw = static_cast<const SID*>(sid);
    result.revision = raw->Revision;
    const SID_IDENTIFIER_AUTHORITY* authority = ::GetSidIdentifierAuthority(sid);
    for (std::size_t i = 0; i < result.authority.size(); ++i) {
        result.authority[i] = authority->Value[i];
    }
    const UCHAR count = *::GetSidSubAuthorityCount(sid);
    for (DWORD i = 0; i < count; ++i) {
        result.subAuthorities.push_back(*::GetSidSubAuthority(sid, i));
    }
    return result;
}

}  // namespace nv::host
