#include "payload_report.h"

#include "base/error.h"
#include "package/extract.h"
#include "package/format.h"
#include "package/pe_image.h"
#include "package/std_file_system.h"

namespace nvpack {
namespace {

using nv::package::BlockStreamEnd;

// Why a file of `size` bytes and this `layout`, which holds no payload the trailer points to,
// holds none.
std::string NoPackageReason(const std::optional<nv::package::PeLayout>& layout,
                            std::uint64_t size) {
    if (!layout) {
        return "no package: not a Windows executable";
    }
    if (size < layout->imageEnd) {
        return "no package: cut short after " + std::to_string(size) + " of the " +
               std::to_string(layout->imageEnd) + " bytes of its executable image";
    }
    if (size == layout->imageEnd ||
        (layout->certificateOffset == layout->imageEnd && layout->certificateSize != 0 &&
         layout->certificateOffset + layout->certificateSize == size)) {
        return "no package: nothing follows the executable image (a stub, not a built setup)";
    }
    return "no package: no trailer; its last 4 bytes do not point behind the executable image "
           "(a setup cut short, or other bytes appended)";
}

}  // namespace

std::string Inspection::Fault() const {
    if (!hasPackage) {
        return noPackage;
    }
    if (!inflates) {
        return "a block does not inflate (zlib reports an error)";
    }
    switch (blocks.end) {
        case BlockStreamEnd::kEndMarker:
            break;
        case BlockStreamEnd::kEndOfInput:
            return "the block stream ends after " + std::to_string(blocks.blocks) +
                   " blocks without its end marker";
        case BlockStreamEnd::kBlockTooLong:
            return "block " + std::to_string(blocks.blocks + 1) + " has a length above 32768";
        case BlockStreamEnd::kBlockTruncated:
            return "block " + std::to_string(blocks.blocks + 1) + " is cut short";
    }
    return outcome.fault;
}

Inspection InspectSetup(const std::string& path, nv::package::EntrySink& sink,
                        const std::function<void(std::uint64_t, std::uint64_t)>& progress) {
    nv::package::StdFileSystem fs;
    const auto file = fs.OpenRead(path);
    Inspection inspection;
    const auto location = nv::package::LocatePayload(*file);
    const std::uint64_t size =
        nv::package::ReadingAs(nv::ErrorKind::kReadFailed, path, [&] { return file->Size(); });
    const auto layout = nv::package::ReadPeLayout(*file);
    inspection.isSigned = layout && layout->certificateSize != 0 &&
                          layout->certificateOffset >= layout->imageEnd &&
                          layout->certificateOffset + layout->certificateSize == size;
    if (!location) {
        inspection.noPackage = NoPackageReason(layout, size);
        return inspection;
    }
    inspection.hasPackage = true;
    inspection.location = *location;
    // Names are judged as the files they name are made here: nvpack.exe in the ANSI code page.
    static_cast<nv::package::StreamedPayload&>(inspection) = nv::package::StreamPayload(
        *file, *location, sink, nv::package::SystemNameToUtf16, progress);
    return inspection;
}

}  // namespace nvpack
