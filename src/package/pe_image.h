#pragma once
// Where a Windows executable's own image ends in its file.

#include <cstdint>
#include <optional>

#include "package/file_system.h"

namespace nv::package {

// The end of the last section's raw data, read from the PE headers of `file`; anything
// behind it was appended to the image. Empty when `file` is not a PE image. Leaves the
// read position anywhere.
std::optional<std::uint64_t> PeImageEnd(InputFile& file);

}  // namespace nv::package
