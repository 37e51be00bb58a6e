#pragma once
// The file-system side of the folder chooser: what a folder holds, which drives exist, and
// making a folder with all its missing parents.

#include <string>
#include <vector>

namespace nv::toolkit::win32 {

bool FolderExists(const std::string& path);

// The names of the sub-folders and of the files in `folder`, each sorted without regard to
// case; "." and ".." and hidden or system entries are left out.
struct FolderContent {
    std::vector<std::string> folders;
    std::vector<std::string> files;
};
FolderContent ListFolder(const std::string& folder);

// The drive roots in use, such as "c:\".
std::vector<std::string> ListDrives();

// The absolute form of `path`, relative names taken from the current folder; `path` itself
// when it cannot be resolved.
std::string FullPath(const std::string& path);

// The process's current folder.
std::string CurrentFolder();

}  // namespace nv::toolkit::win32
