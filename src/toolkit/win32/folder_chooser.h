#pragma once
// The modal folder chooser: the window of a FolderBrowser, with a name field, the folders and
// files of the shown folder, the drives, and (where the system offers it) the dialog for
// connecting a network drive. Its texts are fixed German texts.

#include <windows.h>

#include <optional>
#include <string>

#include "host/host.h"
#include "toolkit/ui_services.h"

namespace nv::toolkit::win32 {

// Opens the chooser at `startFolder` on the file system `system` (see FolderBrowser::Open). OK
// with a folder that does not exist asks whether to create it; No keeps the chooser open, Yes
// has `makeFolder` make it with its missing parents. Returns the chosen folder with a trailing
// backslash, or nothing when cancelled.
std::optional<std::string> ChooseFolder(HWND owner, host::Host& system,
                                        const std::string& startFolder,
                                        const UiServices::FolderMaker& makeFolder);

}  // namespace nv::toolkit::win32
