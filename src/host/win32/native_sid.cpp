#include "host/win32/native_sid.h"

namespace nv::host {

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
