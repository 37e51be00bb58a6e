#pragma once
// Files named relative to an open folder handle rather than by a path, with the native calls
// (the only ones that take a folder handle): whatever happens to the names above the folder,
// the file is the one inside the folder that is held. Both the setup and nvpack use them.
//
// The calls are looked up in ntdll, which the system maps into every process before any of
// its code runs, so a program using them imports no DLL more.

#include <windows.h>
#include <winternl.h>

#include <string>

#include "win32/unique_handle.h"

namespace nv {

// Opens or creates `name` (a plain name) inside the folder `root` with NtCreateFile, for
// synchronous I/O, a reparse point there opened as itself; `disposition` and `options` are
// NtCreateFile's (FILE_OPEN, FILE_CREATE; FILE_NON_DIRECTORY_FILE). No handle on failure, with
// the Windows error set and, when `status` is given, the native status stored there.
UniqueFileHandle OpenRelative(HANDLE root, const std::wstring& name, ACCESS_MASK access,
                              ULONG share, ULONG disposition, ULONG options,
                              NTSTATUS* status = nullptr);

// Renames the open `file` to `name` inside the folder `root`, replacing what has that name
// (the name itself, never what a link there points to). False on failure, with the Windows
// error set.
bool RenameRelative(HANDLE file, HANDLE root, const std::wstring& name);

}  // namespace nv
