#pragma once
// The trust test for an existing folder, made on an open handle so that what was checked is
// what the caller goes on to use.

#include <windows.h>

namespace nv::host {

// True when the folder open as `folder` (with READ_CONTROL and FILE_READ_ATTRIBUTES) is a
// folder and no reparse point, is owned by a trusted writer (see TrustedWriters), and grants
// nobody else writing, adding, deleting, changing its access list or taking ownership.
// Inherit-only entries do not count; a missing access list (everyone may do everything)
// fails, and so does anything that cannot be read.
bool IsTrustedFolder(HANDLE folder);

// The part of that test a security descriptor answers: its owner and its access list.
bool IsTrustedDescriptor(PSECURITY_DESCRIPTOR descriptor);

}  // namespace nv::host
