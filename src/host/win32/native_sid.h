#pragma once
// Security identifiers as the system allocates them, and their portable form.

#include "host/host_types.h"
#include "win32/unique_handle.h"

namespace nv::host {

// The Administrators group's SID allocated by the system (AllocateAndInitializeSid);
// invalid when the allocation fails.
UniqueSid AllocateAdministratorsSid();

// The portable form of a valid SID.
Sid SidFromNative(PSID sid);

}  // namespace nv::host
