#include "toolkit/win32/system_library.h"

#include <windows.h>

namespace nv::toolkit::win32 {

UniqueModule LoadSystemLibrary(const std::string& fileName) {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return UniqueModule();
    }
    std::string path(folder, length);
    if (path.back() != '\\') {
        path += '\\';
    }
    path += fileName;
    // With an absolute path and this flag, the DLL's own dependencies are also looked up
    // beside it first rather than beside the program.
    return UniqueModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace nv::toolkit::win32
