#include "toolkit/win32/system_library.h"

#include <commctrl.h>

#include <string_view>

#include "base/text.h"

namespace nv::toolkit::win32 {

namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// The address of `name` in the system library `library`, which is loaded on the first call
// for it and stays loaded until the program ends (`kept` is the caller's static).
FARPROC KeptProcedure(UniqueModule& kept, const char* library, const char* name) {
    if (!kept) {
        kept = LoadSystemLibrary(library);
    }
    return kept ? GetProcAddress(kept.Get(), name) : nullptr;
}

}  // namespace

std::string SystemLibraryPath(const std::string& fileName) {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return WithTrailingBackslash(std::string_view(folder, length)) + fileName;
}

void RestrictDllSearch() {
#ifndef NV_UNGUARDED_DLL_LOADING
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault != nullptr) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    SetDllDirectoryA("");
#endif
}

UniqueModule LoadSystemLibrary(const std::string& fileName) {
#ifdef NV_UNGUARDED_DLL_LOADING
    return UniqueModule(LoadLibraryA(fileName.c_str()));
#else
    const std::string path = SystemLibraryPath(fileName);
    if (path.empty()) {
        return UniqueModule();
    }
    // The library's own dependencies come from the system folder as well. Systems without
    // the search flags refuse them; there the library's own folder (the system folder) is
    // searched first instead of the program's.
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    return UniqueModule(module);
#endif
}

bool InitSystemCommonControls(DWORD classes) {
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static UniqueModule library;
    const auto init = reinterpret_cast<InitFn>(
        reinterpret_cast<void*>(KeptProcedure(library, "comctl32.dll", "InitCommonControlsEx")));
    if (init == nullptr) {
        return false;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, classes};
    return init(&controls) != FALSE;
}

bool SystemAlphaBlend(HDC target, int x, int y, int width, int height, HDC source, int sourceX,
                      int sourceY, int sourceWidth, int sourceHeight, BLENDFUNCTION blend) {
    using AlphaBlendFn =
        BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    static UniqueModule library;
    const auto alphaBlend = reinterpret_cast<AlphaBlendFn>(
        reinterpret_cast<void*>(KeptProcedure(library, "msimg32.dll", "AlphaBlend")));
    if (alphaBlend == nullptr) {
        return false;
    }
    return alphaBlend(target, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                      sourceHeight, blend) != FALSE;
}

}  // namespace nv::toolkit::win32
