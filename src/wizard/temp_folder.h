#pragma once
// Where the installation unpacks its payload: "tempnv" in the current folder, else
// "C:\tempnv".
//
// The setup runs elevated and later copies what it unpacked into the installation folder, so
// the folder must be one nobody else can write to: a folder it makes itself is open only to
// Administrators and SYSTEM (and to the current account when the setup is not elevated), and
// one that is already there is used only when it is no link and nobody else may write to it.
// Either must lie on a local disk that keeps access lists. The folder is checked on a handle
// that is then held until the installation ends, so it cannot be renamed or replaced after
// the check. Any other folder counts as one that cannot be made.

#include <memory>
#include <optional>
#include <string>

#include "host/host.h"

namespace nv::wizard {

inline constexpr char kTempFolder[] = "tempnv";
inline constexpr char kTempFolderFallback[] = "C:\\tempnv";

struct TempFolder {
    std::string path;                        // "tempnv" or "C:\tempnv", as chosen
    std::unique_ptr<host::HeldFolder> hold;  // held from the check until this goes
};

// The first of the two folders that is safe to use or can be made, held; nothing when
// neither.
std::optional<TempFolder> ChooseTempFolder(host::Host& host);

}  // namespace nv::wizard
