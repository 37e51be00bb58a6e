#pragma once
// What the package code reads from a Windows executable's PE headers: where the image's own
// data ends in the file, and where an Authenticode signature's certificate table lies.

#include <cstdint>
#include <optional>

#include "package/file_system.h"

namespace nv::package {

struct PeLayout {
    // The end of the last section's raw data; anything behind it was appended to the image.
    std::uint64_t imageEnd = 0;
    // The certificate table named by the security data directory (a file offset, unlike the
    // other directories' addresses); size 0 when the headers name none.
    std::uint64_t certificateOffset = 0;
    std::uint64_t certificateSize = 0;
};

// Reads the PE headers of `file`. Empty when `file` is not a PE image. Leaves the read
// position anywhere.
std::optional<PeLayout> ReadPeLayout(FileStream& file);

}  // namespace nv::package
