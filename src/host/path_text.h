#pragma once
// The text and path helpers of base/text.h under the names the host layer gave them, for the
// wizard files that still spell them host::...; new code includes base/text.h.

#include "base/text.h"

namespace nv::host {

using nv::ContainingFolder;
using nv::FolderPart;
using nv::LowerCaseAscii;
using nv::SameTextIgnoreCase;
using nv::WithoutTrailingBackslashes;
using nv::WithTrailingBackslash;

}  // namespace nv::host
