#include "package/pe_image.h"

#include <algorithm>
#include <vector>

#include "base/error.h"
#include "package/format.h"

namespace nv::package {
namespace {

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNewHeaderOffsetField = 0x3C;
constexpr std::size_t kSignatureAndFileHeaderSize = 24;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kMaxSections = 96;

// The optional header's magic numbers, and where each kind keeps its directory count and
// its data directories (8 bytes each: address, size).
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::size_t kPe32DirectoryCount = 92;
constexpr std::size_t kPe32PlusDirectoryCount = 108;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kSecurityDirectory = 4;

// Reads `count` bytes at `position`; false when they cannot all be read. Headers that cannot
// be read are no headers: the file is then no image that can carry a payload.
bool ReadAt(FileStream& file, std::uint64_t position, unsigned char* buffer, std::size_t count) {
    try {
        file.Seek(position);
        return file.Read(buffer, count) == count;
    } catch (const Error&) {
        return false;
    }
}

// Fills the certificate table of `layout` from the optional header at `optionalHeader`;
// leaves it empty when the header is of an unknown kind or too short to name one.
void ReadSecurityDirectory(FileStream& file, std::uint64_t optionalHeader,
                           std::size_t optionalHeaderSize, PeLayout& layout) {
    unsigned char magic[2];
    if (optionalHeaderSize < 2 || !ReadAt(file, optionalHeader, magic, sizeof magic)) {
        return;
    }
    std::size_t countField = 0;
    if (ReadU16(magic) == kPe32Magic) {
        countField = kPe32DirectoryCount;
    } else if (ReadU16(magic) == kPe32PlusMagic) {
        countField = kPe32PlusDirectoryCount;
    } else {
        return;
    }
    const std::size_t entry = countField + 4 + kSecurityDirectory * kDirectoryEntrySize;
    if (optionalHeaderSize < entry + kDirectoryEntrySize) {
        return;
    }
    unsigned char count[4];
    unsigned char directory[kDirectoryEntrySize];
    if (!ReadAt(file, optionalHeader + countField, count, sizeof count) ||
        ReadU32(count) <= kSecurityDirectory ||
        !ReadAt(file, optionalHeader + entry, directory, sizeof directory)) {
        return;
    }
    layout.certificateOffset = ReadU32(directory);
    layout.certificateSize = ReadU32(directory + 4);
    if (layout.certificateSize == 0) {
        layout.certificateOffset = 0;
    }
}

}  // namespace

std::optional<PeLayout> ReadPeLayout(FileStream& file) {
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
    PeLayout layout;
    layout.imageEnd = sectionTable + sections.size();
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const unsigned char* section = sections.data() + i * kSectionHeaderSize;
        const std::uint64_t rawSize = ReadU32(section + 16);
        const std::uint64_t rawStart = ReadU32(section + 20);
        if (rawSize != 0) {
            layout.imageEnd = std::max(layout.imageEnd, rawStart + rawSize);
        }
    }
    ReadSecurityDirectory(file, peHeader + sizeof header, optionalHeaderSize, layout);
    return layout;
}

}  // namespace nv::package
