#pragma once
// Whether the running process acts with the rights of the local Administrators group.

#include "host/host.h"

namespace nv::host {

// The well-known SID of the local Administrators group, S-1-5-32-544.
Sid CreateAdministratorsSid();

// True when the process token holds the Administrators group in a form that grants its
// rights: enabled and not restricted to deny-only use. A token that cannot be opened or
// queried, or one without the group, gives false.
bool IsAdministrator(Host& host);

}  // namespace nv::host
