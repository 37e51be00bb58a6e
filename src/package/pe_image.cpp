#include "package/pe_image.h"

#include <algorithm>
#include <vector>

#include "package/format.h"

namespace nv::package {
namespace {

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNewHeaderOffsetField = 0x3C;
constexpr std::size_t kSignatureAndFileHeaderSize = 24;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kMaxSections = 96;

bool ReadAt(InputFile& file, std::uint64_t position, unsigned char* buffer, std::size_t count) {
    std::size_t got = 0;
    return file.Seek(position) && file.Read(buffer, count, got) && got == count;
}

}  // namespace

std::optional<std::uint64_t> PeImageEnd(InputFile& file) {
    unsigned char dos[kDosHeaderSize];
    if (!ReadAt(file, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') {
        return std::nullopt;
    }
    const std::uint64_t peHeader = ReadU32(dos + kNewHeaderOffsetField);
    unsigned char header[kSignatureAndFileHeaderSize];
    if (!ReadAt(file, peHeader, header, sizeof header) || header[0] != 'P' || header[1] != 'E' ||
        header[2] != 0 || header[3] != 0) {
        return std::nullopt;
    }
    const std::size_t sectionCount = ReadU16(header + 6);
    const std::size_t optionalHeaderSize = ReadU16(header + 20);
    if (sectionCount == 0 || sectionCount > kMaxSections) {
        return std::nullopt;
    }
    const std::uint64_t sectionTable = peHeader + sizeof header + optionalHeaderSize;
    std::vector<unsigned char> sections(sectionCount * kSectionHeaderSize);
    if (!ReadAt(file, sectionTable, sections.data(), sections.size())) {
        return std::nullopt;
    }
    std::uint64_t end = sectionTable + sections.size();
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const unsigned char* section = sections.data() + i * kSectionHeaderSize;
        const std::uint64_t rawSize = ReadU32(section + 16);
        const std::uint64_t rawStart = ReadU32(section + 20);
        if (rawSize != 0) {
            end = std::max(end, rawStart + rawSize);
        }
    }
    return end;
}

}  // namespace nv::package
