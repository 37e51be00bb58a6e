#pragma once
// Loading a system DLL by its full path in the system folder. The setup runs elevated, so a
// bare name (which the loader may resolve to a planted copy beside the program or in the
// current folder) is never used.

#include <string>

#include "toolkit/win32/win32_handles.h"

namespace nv::toolkit::win32 {

// The module `fileName` (for example "riched20.dll") from the system folder, or an empty handle
// when it is missing there.
UniqueModule LoadSystemLibrary(const std::string& fileName);

}  // namespace nv::toolkit::win32
