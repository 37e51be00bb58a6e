#include "package/locate.h"

#include <algorithm>

#include "base/error.h"
#include "package/format.h"
#include "package/pe_image.h"

namespace nv::package {
namespace {

constexpr std::size_t kMaxSignerPadding = kSignatureAlignment - 1;

void ReadExactly(FileStream& file, std::uint64_t position, unsigned char* buffer,
                 std::size_t count) {
    const std::size_t got = ReadingAs(ErrorKind::kSetupUnreadable, {}, [&] {
        file.Seek(position);
        return file.Read(buffer, count);
    });
    if (got != count) {
        throw Error(ErrorKind::kSetupUnreadable);
    }
}

// The location named by the trailer that ends at `trailerEnd`, when it is valid.
std::optional<PayloadLocation> CheckTrailer(const unsigned char* trailer, std::uint64_t imageEnd,
                                            std::uint64_t trailerEnd) {
    const auto offset = static_cast<std::int32_t>(ReadU32(trailer));
    if (offset < 0 || static_cast<std::uint64_t>(offset) < imageEnd ||
        static_cast<std::uint64_t>(offset) > trailerEnd) {
        return std::nullopt;
    }
    return PayloadLocation{static_cast<std::uint64_t>(offset), trailerEnd};
}

// The trailer in front of a certificate table starting at `table`: directly before it, or
// before the zero bytes a signing tool padded the unsigned file with. The fewest padding
// bytes are tried first: taking a real trailer's high zero bytes for padding would read it
// shifted by whole bytes, at least 256 times too small, which the image end rules out.
std::optional<PayloadLocation> LocateBeforeTable(FileStream& setup, std::uint64_t imageEnd,
                                                 std::uint64_t table) {
    unsigned char tail[kTrailerSize + kMaxSignerPadding];
    const auto available = static_cast<std::size_t>(
        std::min<std::uint64_t>(table, static_cast<std::uint64_t>(sizeof tail)));
    if (available < kTrailerSize) {
        return std::nullopt;
    }
    unsigned char* const tailStart = tail + sizeof tail - available;
    ReadExactly(setup, table - available, tailStart, available);
    for (std::size_t padding = 0; padding + kTrailerSize <= available; ++padding) {
        const unsigned char* const paddingStart = tail + sizeof tail - padding;
        if (padding > 0 && *paddingStart != 0) {
            break;
        }
        if (auto location = CheckTrailer(paddingStart - kTrailerSize, imageEnd, table - padding)) {
            return location;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<PayloadLocation> LocatePayload(FileStream& setup) {
    const std::uint64_t size =
        ReadingAs(ErrorKind::kSetupUnreadable, {}, [&] { return setup.Size(); });
    if (size < kTrailerSize) {
        return std::nullopt;
    }
    const auto layout = ReadPeLayout(setup);
    if (!layout) {
        return std::nullopt;
    }
    // A table that does not end the file, or lies inside the image, does not hide the trailer:
    // such a file was changed after signing (or never signed), and its last bytes are read.
    const bool signedAfterBuild = layout->certificateSize != 0 &&
                                  layout->certificateOffset >= layout->imageEnd &&
                                  layout->certificateOffset + layout->certificateSize == size;
    if (signedAfterBuild) {
        return LocateBeforeTable(setup, layout->imageEnd, layout->certificateOffset);
    }
    unsigned char trailer[kTrailerSize];
    ReadExactly(setup, size - kTrailerSize, trailer, sizeof trailer);
    return CheckTrailer(trailer, layout->imageEnd, size);
}

}  // namespace nv::package
