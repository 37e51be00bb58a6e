#include "stub_check.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package/format.h"
#include "stub_mark.h"

namespace nvpack {
namespace {

using nv::package::ReadU16;
using nv::package::ReadU32;

constexpr std::size_t kResourceDirectory = 2;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000U;
constexpr std::uint32_t kMaxResourceSize = 1U << 20;
constexpr std::size_t kMaxEntries = 4096;

struct Section {
    std::uint32_t address;
    std::uint32_t size;
    std::uint32_t raw;
};

// Reads the bytes the resource tree needs from the file, by their virtual address.
class ImageReader {
public:
    explicit ImageReader(nv::FileStream& file) : file_(file) {}

    bool ReadAt(std::uint64_t position, void* buffer, std::size_t count) {
        try {
            file_.Seek(position);
            return file_.Read(buffer, count) == count;
        } catch (const nv::Error&) {
            return false;
        }
    }

    // Reads the headers; false when the file is no PE image with a resource directory.
    bool ReadHeaders() {
        unsigned char dos[64];
        if (!ReadAt(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') {
            return false;
        }
        const std::uint32_t pe = ReadU32(dos + 0x3C);
        unsigned char header[24 + 2];
        if (!ReadAt(pe, header, sizeof header) || ReadU32(header) != 0x4550U) {
            return false;
        }
        const std::size_t sections = ReadU16(header + 6);
        const std::size_t optionalSize = ReadU16(header + 20);
        const std::uint16_t magic = ReadU16(header + 24);
        const std::size_t countField = magic == 0x20B ? 108 : 92;
        const std::size_t directory = countField + 4 + kResourceDirectory * 8;
        unsigned char fields[4 + 8 * 3];
        if ((magic != 0x10B && magic != 0x20B) || optionalSize < directory + 8 ||
            !ReadAt(pe + 24 + countField, fields, sizeof fields) ||
            ReadU32(fields) <= kResourceDirectory || sections == 0 || sections > 96) {
            return false;
        }
        resourceRoot_ = ReadU32(fields + 4 + kResourceDirectory * 8);
        std::vector<unsigned char> table(sections * 40);
        if (resourceRoot_ == 0 || !ReadAt(pe + 24 + optionalSize, table.data(), table.size())) {
            return false;
        }
        for (std::size_t i = 0; i < sections; ++i) {
            const unsigned char* s = table.data() + i * 40;
            const std::uint32_t virtualSize = ReadU32(s + 8);
            const std::uint32_t rawSize = ReadU32(s + 16);
            sections_.push_back(
                {ReadU32(s + 12), virtualSize > rawSize ? virtualSize : rawSize, ReadU32(s + 20)});
        }
        return true;
    }

    bool ReadRva(std::uint64_t rva, void* buffer, std::size_t count) {
        for (const Section& s : sections_) {
            if (rva >= s.address && rva + count <= std::uint64_t{s.address} + s.size) {
                return ReadAt(s.raw + (rva - s.address), buffer, count);
            }
        }
        return false;
    }

    // Reads at `offset` into the resource section.
    bool ReadResource(std::uint64_t offset, void* buffer, std::size_t count) {
        return ReadRva(resourceRoot_ + offset, buffer, count);
    }

private:
    nv::FileStream& file_;
    std::uint32_t resourceRoot_ = 0;
    std::vector<Section> sections_;
};

struct DirectoryEntry {
    std::uint32_t name;    // an id, or the offset of a name with kSubdirectoryBit set
    std::uint32_t target;  // a subdirectory with kSubdirectoryBit set, else a data entry
};

bool ReadDirectory(ImageReader& reader, std::uint32_t offset, std::vector<DirectoryEntry>& out) {
    unsigned char header[16];
    if (!reader.ReadResource(offset, header, sizeof header)) {
        return false;
    }
    const std::size_t count = std::size_t{ReadU16(header + 12)} + ReadU16(header + 14);
    if (count > kMaxEntries) {
        return false;
    }
    std::vector<unsigned char> entries(count * 8);
    if (!reader.ReadResource(std::uint64_t{offset} + 16, entries.data(), entries.size())) {
        return false;
    }
    out.clear();
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back({ReadU32(&entries[i * 8]), ReadU32(&entries[i * 8 + 4])});
    }
    return true;
}

// True when the entry's name is the string `name`, A to Z in either case.
bool NameIs(ImageReader& reader, std::uint32_t entryName, const std::string& name) {
    if ((entryName & kSubdirectoryBit) == 0) {
        return false;
    }
    const std::uint64_t at = entryName & ~kSubdirectoryBit;
    unsigned char length[2];
    if (!reader.ReadResource(at, length, sizeof length) || ReadU16(length) != name.size()) {
        return false;
    }
    std::vector<unsigned char> text(name.size() * 2);
    if (!reader.ReadResource(at + 2, text.data(), text.size())) {
        return false;
    }
    const auto upper = [](unsigned c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (upper(ReadU16(&text[i * 2])) != upper(static_cast<unsigned char>(name[i]))) {
            return false;
        }
    }
    return true;
}

// The data of the resource of numeric type `type` and name `name` (compared without regard to
// the case of A to Z), in the first language it is found in; empty when the image has no such
// resource or its resource tree cannot be read.
std::optional<std::string> ReadNamedResource(nv::FileStream& image, unsigned type,
                                             const std::string& name) {
    ImageReader reader(image);
    std::vector<DirectoryEntry> entries;
    if (!reader.ReadHeaders() || !ReadDirectory(reader, 0, entries)) {
        return std::nullopt;
    }
    for (const DirectoryEntry& typeEntry : entries) {
        if (typeEntry.name != type || (typeEntry.target & kSubdirectoryBit) == 0) {
            continue;
        }
        std::vector<DirectoryEntry> names;
        if (!ReadDirectory(reader, typeEntry.target & ~kSubdirectoryBit, names)) {
            return std::nullopt;
        }
        for (const DirectoryEntry& nameEntry : names) {
            std::vector<DirectoryEntry> languages;
            if (!NameIs(reader, nameEntry.name, name) ||
                (nameEntry.target & kSubdirectoryBit) == 0 ||
                !ReadDirectory(reader, nameEntry.target & ~kSubdirectoryBit, languages) ||
                languages.empty() || (languages[0].target & kSubdirectoryBit) != 0) {
                continue;
            }
            unsigned char data[8];
            if (!reader.ReadResource(languages[0].target, data, sizeof data) ||
                ReadU32(data + 4) > kMaxResourceSize) {
                return std::nullopt;
            }
            std::string bytes(ReadU32(data + 4), '\0');
            if (!reader.ReadRva(ReadU32(data), bytes.data(), bytes.size())) {
                return std::nullopt;
            }
            return bytes;
        }
    }
    return std::nullopt;
}

}  // namespace

bool CarriesStubMark(nv::FileStream& image) {
    constexpr unsigned kRcData = 10;
    const auto mark = ReadNamedResource(image, kRcData, NV_STUB_MARK_NAME_TEXT);
    return mark && mark->rfind(NV_STUB_MARK_TEXT, 0) == 0;
}

}  // namespace nvpack
