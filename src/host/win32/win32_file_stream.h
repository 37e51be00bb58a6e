#pragma once
// The host's file stream over an open Win32 file handle.

#include <memory>
#include <string>

#include "host/host.h"
#include "win32/unique_handle.h"

namespace nv::host {

// A stream over `file`, known by `path` in errors; `removable` when the handle was opened
// with DELETE access, so that the stream can delete the file.
std::unique_ptr<FileStream> MakeWin32FileStream(std::string path, UniqueFileHandle file,
                                                bool removable);

}  // namespace nv::host
