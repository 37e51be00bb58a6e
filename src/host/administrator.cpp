#include "host/administrator.h"

#include <algorithm>

namespace nv::host {
namespace {

constexpr std::uint32_t kSecurityBuiltinDomainRid = 32;
constexpr std::uint32_t kDomainAliasRidAdmins = 544;

// A group counts only where it grants access. Under user account control an
// administrator's filtered token keeps the group for deny-only use, and such a process
// cannot write where an installation must.
bool GrantsRights(const TokenGroup& group) {
    return (group.attributes & kSeGroupEnabled) != 0 &&
           (group.attributes & kSeGroupUseForDenyOnly) == 0;
}

}  // namespace

Sid CreateAdministratorsSid() {
    Sid sid;
    sid.revision = 1;
    sid.authority = {0, 0, 0, 0, 0, 5};  // SECURITY_NT_AUTHORITY
    sid.subAuthorities = {kSecurityBuiltinDomainRid, kDomainAliasRidAdmins};
    return sid;
}

bool IsAdministrator(Host& host) {
    const std::optional<std::vector<TokenGroup>> groups = host.TokenGroups();
    if (!groups) {
        return false;
    }
    const Sid administrators = CreateAdministratorsSid();
    const auto found = std::find_if(groups->begin(), groups->end(), [&](const TokenGroup& group) {
        return group.sid == administrators;
    });
    return found != groups->end() && GrantsRights(*found);
}

}  // namespace nv::host
