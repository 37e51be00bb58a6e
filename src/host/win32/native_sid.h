#pragma once
// The portable form of the security identifiers the system gives.

#include "host/host_types.h"
#include "win32/unique_handle.h"

namespace nv::host {

// The portable form of a valid SID.
Sid SidFromNative(PSID sid);

}  // namespace nv::host
