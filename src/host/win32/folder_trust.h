#pragma once
// The trust test for an existing folder, made on an open handle so that what was checked is
// what the caller goes on to use.

#include <windows.h>

#include "host/win32/account_sids.h"

namespace nv::host {

// What the folder is to the program, which decides the rights that count against it.
enum class FolderRole {
    // Files are created in it: nobody else may write to it, and no entry passed on to what is
    // created there may give anyone else a writing right.
    kWrittenInto,
    // It holds the next folder of a path: only the entries for the folder itself count, and
    // of those not the rights that merely add names or write attributes (a folder that holds
    // something cannot become a mount point).
    kAbove,
    // A drive's root holding the next folder: as kAbove, and deleting the root is no threat.
    kRootAbove,
};

// True when the folder open as `folder` (with READ_CONTROL and FILE_READ_ATTRIBUTES) is a
// folder and no reparse point, is owned by one of `writers`, and grants nobody else a right
// that counts for `role`: writing, adding, deleting, changing its access list or taking
// ownership. A missing access list (everyone may do everything) fails, and so does anything
// that cannot be read.
bool IsTrustedFolder(HANDLE folder, TrustedWriters& writers, FolderRole role);

// The part of that test a security descriptor answers: its owner and its access list.
bool IsTrustedDescriptor(PSECURITY_DESCRIPTOR descriptor, TrustedWriters& writers, FolderRole role);

}  // namespace nv::host
