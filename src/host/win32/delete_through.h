#pragma once
// Deleting what a handle has open, without looking its name up again.

#include <windows.h>

namespace nv::host {

// Marks the file or empty folder open as `handle` (with DELETE access) for deletion; it goes
// when its last handle closes. False when the handle lacks the right, or for a folder that
// is not empty.
inline bool DeleteThrough(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    return ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                        sizeof disposition) != FALSE;
}

}  // namespace nv::host
