#pragma once
// Files made inside a folder the program holds, named relative to its handle rather than by
// a path: whatever happens to the names above the folder (a parent renamed, a junction put
// in its place), the file is made in the folder that was checked.

#include <windows.h>

#include <string>

#include "win32/unique_handle.h"

namespace nv::host {

// Creates the new file `name` (a plain name, no folder part) inside `folder`, for reading,
// writing and deleting through the handle, sharing reading only; a name that is taken — a
// link included — fails it. Invalid handle on failure, with the system's code for
// GetLastError.
UniqueFileHandle CreateNewFileInside(HANDLE folder, const std::wstring& name);

// Deletes what has the name `name` inside `folder`, opened as itself (a link goes, not what
// it points to). True when nothing has the name afterwards.
bool RemoveInside(HANDLE folder, const std::wstring& name);

}  // namespace nv::host
