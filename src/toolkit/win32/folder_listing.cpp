#include "toolkit/win32/folder_listing.h"

#include <windows.h>

#include <algorithm>

#include "base/text.h"
#include "toolkit/win32/win32_handles.h"

namespace nv::toolkit::win32 {
namespace {

void SortWithoutCase(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
}

// A drive without a medium asks no question; it simply fails.
class QuietErrors {
public:
    QuietErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { SetErrorMode(previous_); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;
    QuietErrors(QuietErrors&&) = delete;
    QuietErrors& operator=(QuietErrors&&) = delete;

private:
    UINT previous_;
};

}  // namespace

bool FolderExists(const std::string& path) {
    QuietErrors quiet;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FolderContent ListFolder(const std::string& folder) {
    QuietErrors quiet;
    FolderContent content;
    WIN32_FIND_DATAA entry;
    UniqueFindHandle find(FindFirstFileA((WithTrailingBackslash(folder) + "*").c_str(), &entry));
    if (!find) {
        return content;
    }
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == ".." ||
            (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
            continue;
        }
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            content.folders.push_back(name);
        } else {
            content.files.push_back(name);
        }
    } while (FindNextFileA(find.Get(), &entry));
    SortWithoutCase(content.folders);
    SortWithoutCase(content.files);
    return content;
}

std::vector<std::string> ListDrives() {
    std::vector<std::string> drives;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((mask & (1U << i)) != 0) {
            drives.push_back(std::string(1, static_cast<char>('a' + i)) + ":\\");
        }
    }
    return drives;
}

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH];
    char* namePart = nullptr;
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, &namePart);
    if (length == 0 || length >= MAX_PATH) {
        return path;
    }
    return std::string(buffer, length);
}

std::string CurrentFolder() {
    char buffer[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(buffer, length);
}

}  // namespace nv::toolkit::win32
