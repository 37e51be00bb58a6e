#include "package/locate.h"

#include "base/error.h"
#include "package/format.h"
#include "package/pe_image.h"

namespace nv::package {

std::optional<PayloadLocation> LocatePayload(InputFile& setup) {
    const auto size = setup.Size();
    if (!size) {
        throw Error("The setup file cannot be read.");
    }
    if (*size < kTrailerSize) {
        return std::nullopt;
    }
    const auto imageEnd = PeImageEnd(setup);
    if (!imageEnd) {
        return std::nullopt;
    }
    unsigned char trailer[kTrailerSize];
    std::size_t got = 0;
    if (!setup.Seek(*size - kTrailerSize) || !setup.Read(trailer, sizeof trailer, got) ||
        got != sizeof trailer) {
        throw Error("The setup file cannot be read.");
    }
    const auto offset = static_cast<std::int32_t>(ReadU32(trailer));
    if (offset < 0 || static_cast<std::uint64_t>(offset) < *imageEnd ||
        static_cast<std::uint64_t>(offset) > *size) {
        return std::nullopt;
    }
    return PayloadLocation{static_cast<std::uint64_t>(offset), *size};
}

}  // namespace nv::package
