#pragma once
// Loading a system DLL by its full path in the system folder. The setup runs elevated, so a
// bare name (which the loader may resolve to a planted copy beside the program or in the
// current folder) is never used. The two entry points of DLLs that are not loaded with every
// program (the common controls and the alpha blend) are reached the same way, so the program
// imports nothing a DLL beside it could stand in for.
//
// A build with NV_UNGUARDED_DLL_LOADING defined loads by bare name instead: it exists only so
// that the planting test can show it notices a planted DLL.

#include <windows.h>

#include <string>

#include "win32/unique_handle.h"

namespace nv::toolkit::win32 {

// From here on, DLLs load only from the system folder and never from the current folder: a
// setup is usually started from a downloads folder where anyone may have left a DLL named
// like a system one. Does nothing in the unguarded build.
void RestrictDllSearch();

// The module `fileName` (for example "riched20.dll") from the system folder, or an empty handle
// when it is missing there.
UniqueModule LoadSystemLibrary(const std::string& fileName);

// The full path of `fileName` in the system folder; empty when the folder is not known.
std::string SystemLibraryPath(const std::string& fileName);

// InitCommonControlsEx of the system's comctl32.dll, loaded once and kept for the program's
// life; false when the library or the call fails.
bool InitSystemCommonControls(DWORD classes);

// AlphaBlend of the system's msimg32.dll, loaded once and kept; false when the library is
// missing or the call fails.
bool SystemAlphaBlend(HDC target, int x, int y, int width, int height, HDC source, int sourceX,
                      int sourceY, int sourceWidth, int sourceHeight, BLENDFUNCTION blend);

}  // namespace nv::toolkit::win32
