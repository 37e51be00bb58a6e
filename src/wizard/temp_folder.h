#pragma once
// Where the installation unpacks its payload: "tempnv" in the current folder, else
// "C:\tempnv".
//
// The setup runs elevated and later copies what it unpacked into the installation folder, so
// the folder must be one nobody else can write to: a folder it makes itself is open only to
// Administrators, SYSTEM and the current user, and one that is already there is used only
// when it is no link and nobody else may write to it. Any other counts as a folder that
// cannot be made.

#include <optional>
#include <string>

#include "host/host.h"

namespace nv::wizard {

inline constexpr char kTempFolder[] = "tempnv";
inline constexpr char kTempFolderFallback[] = "C:\\tempnv";

// The first of the two folders that is safe to use or can be made; nothing when neither.
std::optional<std::string> ChooseTempFolder(host::Host& host);

}  // namespace nv::wizard
