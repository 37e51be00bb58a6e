#pragma once
// The modal folder chooser: a name field, the folders and files of the shown folder, the
// drives, and (where the system offers it) the dialog for connecting a network drive. Its
// texts are fixed German texts.
//
// Showing a folder makes it the process's current folder, so when the chooser closes the
// current folder is the last one it showed.

#include <windows.h>

#include <optional>
#include <string>

#include "toolkit/ui_services.h"

namespace nv::toolkit::win32 {

// Opens the chooser at `startFolder`, or at "c:\" when that folder does not exist. OK with a
// folder that does not exist asks whether to create it; No keeps the chooser open, Yes has
// `makeFolder` make it with its missing parents (a failure shows later, when the folder is
// used). Returns the chosen folder with a trailing backslash, or nothing when cancelled.
std::optional<std::string> ChooseFolder(HWND owner, const std::string& startFolder,
                                        const UiServices::FolderMaker& makeFolder);

}  // namespace nv::toolkit::win32
