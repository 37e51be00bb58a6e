#pragma once
// Where the installation unpacks its payload: "tempnv" in the current folder, else
// "C:\tempnv".

#include <optional>
#include <string>

#include "host/host.h"

namespace nv::wizard {

inline constexpr char kTempFolder[] = "tempnv";
inline constexpr char kTempFolderFallback[] = "C:\\tempnv";

// The first of the two folders that exists or can be created; nothing when neither can.
std::optional<std::string> ChooseTempFolder(host::Host& host);

}  // namespace nv::wizard
