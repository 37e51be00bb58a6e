#pragma once
// FolderBrowsing: the part of the host a folder chooser walks the file system with. Host
// provides it, so the chooser goes to the same door as the rest of the setup.

#include <string>
#include <vector>

namespace nv::host {

// The names of the sub-folders and of the files in a folder, each sorted without regard to
// case; "." and ".." and hidden or system entries are left out.
struct FolderContent {
    std::vector<std::string> folders;
    std::vector<std::string> files;
};

class FolderBrowsing {
public:
    FolderBrowsing() = default;
    virtual ~FolderBrowsing() = default;
    FolderBrowsing(const FolderBrowsing&) = delete;
    FolderBrowsing& operator=(const FolderBrowsing&) = delete;
    FolderBrowsing(FolderBrowsing&&) = delete;
    FolderBrowsing& operator=(FolderBrowsing&&) = delete;

    // True when `path` names an existing folder.
    virtual bool FolderExists(const std::string& path) = 0;
    // Makes a folder the process's current folder; false on failure.
    virtual bool SetCurrentFolder(const std::string& path) = 0;
    // The process's current folder.
    virtual std::string CurrentFolder() = 0;
    // The full path of `path` resolved against the current folder.
    virtual std::string FullPathOf(const std::string& path) = 0;
    // What `folder` holds; nothing when it cannot be listed.
    virtual FolderContent ListFolder(const std::string& folder) = 0;
    // The drive roots in use, such as "c:\", from a to z.
    virtual std::vector<std::string> LogicalDrives() = 0;
};

}  // namespace nv::host
