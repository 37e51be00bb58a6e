#pragma once
// Finding the payload in a setup file through its trailer.

#include <cstdint>
#include <optional>

#include "package/file_system.h"

namespace nv::package {

struct PayloadLocation {
    std::uint64_t offset = 0;  // first byte of the block stream (PackageOffset)
    std::uint64_t end = 0;     // one past the trailer: where the raw copy stops
};

// Reads the trailer of `setup`. The trailer is the file's last 4 bytes, unless the PE header
// names a certificate table (the setup was signed after it was built) that ends the file: then
// it is the 4 bytes before the table, or before up to 7 zero bytes a signing tool put in
// front of the table to align it, the fewest zero bytes that give a valid trailer winning.
// Empty ("no package") when the file is not a PE image, is too short for a trailer, or when
// PackageOffset, taken as a signed 32-bit number, lies before the end of the file's own PE
// image or beyond the trailer's end. Raises nv::Error when the file cannot be read.
std::optional<PayloadLocation> LocatePayload(FileStream& setup);

}  // namespace nv::package
