#pragma once
// What the folder chooser shows and does, apart from its window: the shown folder with its
// folders, files and drive, and what opening a folder, changing the drive and OK do. The file
// system is reached only through the host.
//
// Showing a folder makes it the process's current folder, so when the chooser closes the
// current folder is the last one it showed.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"
#include "toolkit/ui_services.h"

namespace nv::toolkit {

class FolderBrowser {
public:
    explicit FolderBrowser(host::Host& system) : system_(system) {}

    // Shows `startFolder`, or "c:\" when that folder does not exist or cannot be entered.
    void Open(const std::string& startFolder);
    // Makes `folder` current and shows it. False (and nothing changes) when it cannot be
    // entered.
    bool Show(const std::string& folder);
    // Shows a name of Folders(): ".." is the parent.
    bool OpenListed(const std::string& name);
    // Shows a drive ("d:"): its own current folder, or else its root.
    bool ChangeDrive(const std::string& drive);
    // OK with `typed` in the name field (blanks around it are dropped; empty means the shown
    // folder, a relative name is taken from it). A folder that does not exist is made by
    // `makeFolder` when `confirmCreate` agrees (a failure shows later, when the folder is
    // used). The chosen folder with a trailing backslash, or nothing when the chooser stays
    // open.
    std::optional<std::string> Accept(const std::string& typed,
                                      const std::function<bool()>& confirmCreate,
                                      const UiServices::FolderMaker& makeFolder);

    const std::string& Shown() const { return shown_; }
    // ".." unless the shown folder is a root, then its sub-folders.
    const std::vector<std::string>& Folders() const { return folders_; }
    const std::vector<std::string>& Files() const { return files_; }
    // The drives in use, such as "c:".
    std::vector<std::string> Drives();
    // The shown folder's drive in lower case, such as "c:"; empty for other paths.
    std::string ShownDrive() const;

private:
    // The full path of `path`; `path` itself when it cannot be resolved.
    std::string FullPath(const std::string& path);

    host::Host& system_;
    std::string shown_;
    std::vector<std::string> folders_;
    std::vector<std::string> files_;
};

}  // namespace nv::toolkit
