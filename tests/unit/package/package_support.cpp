#include "package_support.h"

#include <iconv.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "package/block_stream.h"
#include "package/format.h"

namespace nv::package::testing {

void Append(Bytes& to, const Bytes& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

void AppendU16(Bytes& to, std::uint16_t value) {
    unsigned char field[2];
    WriteU16(field, value);
    to.insert(to.end(), field, field + 2);
}

void AppendU32(Bytes& to, std::uint32_t value) {
    unsigned char field[4];
    WriteU32(field, value);
    to.insert(to.end(), field, field + 4);
}

Bytes MakeStub() {
    Bytes stub(kStubImageEnd, 0);
    stub[0] = 'M';
    stub[1] = 'Z';
    WriteU32(&stub[0x3C], 0x40);
    unsigned char* pe = &stub[0x40];
    pe[0] = 'P';
    pe[1] = 'E';
    WriteU16(pe + 4, 0x8664);   // machine: x86-64
    WriteU16(pe + 6, 1);        // one section
    WriteU16(pe + 20, 240);     // size of the PE32+ optional header
    WriteU16(pe + 22, 0x0022);  // executable, large-address aware
    WriteU16(pe + 24, 0x020B);  // PE32+ magic
    unsigned char* section = pe + 24 + 240;
    const char name[] = ".text";
    std::copy(name, name + 5, section);
    WriteU32(section + 8, 512);  // virtual size
    WriteU32(section + 12, 0x1000);
    WriteU32(section + 16, 512);  // size of raw data
    WriteU32(section + 20, 512);  // pointer to raw data
    stub[512] = 0xC3;             // ret
    return stub;
}

Bytes Noise(std::size_t size, std::uint32_t seed) {
    Bytes out(size);
    std::uint32_t x = seed * 2654435761U + 1;
    for (auto& byte : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        byte = static_cast<unsigned char>(x >> 24);
    }
    return out;
}

Bytes Text(std::size_t size, std::uint32_t seed) {
    static const char* const kWords[] = {"norvista ", "setup ",    "package ", "block ", "entry ",
                                         "\r\n",      "checksum ", "zlib ",    "folder "};
    Bytes out;
    out.reserve(size);
    std::uint32_t x = seed + 7;
    while (out.size() < size) {
        x = x * 1103515245U + 12345U;
        const std::string word = kWords[(x >> 16) % 9];
        out.insert(out.end(), word.begin(), word.end());
    }
    out.resize(size);
    return out;
}

Bytes EntryStream(const std::vector<std::pair<std::string, Bytes>>& entries) {
    Bytes out;
    std::uint32_t sum = 0;
    for (const auto& [name, data] : entries) {
        AppendU16(out, static_cast<std::uint16_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
        AppendU32(out, static_cast<std::uint32_t>(data.size()));
        Append(out, data);
        for (const unsigned char byte : data) {
            sum += byte;
        }
    }
    AppendU16(out, 0);
    AppendU32(out, sum);
    return out;
}

Bytes BlockStream(const Bytes& stream, std::size_t pieceSize, int level) {
    Deflater deflater(level);
    Bytes out;
    for (std::size_t at = 0; at < stream.size(); at += pieceSize) {
        deflater.CompressPiece(stream.data() + at, std::min(pieceSize, stream.size() - at), out);
    }
    AppendU16(out, 0);
    return out;
}

Bytes SetupFile(const Bytes& blockStream) {
    Bytes setup = MakeStub();
    Append(setup, blockStream);
    AppendU32(setup, kStubImageEnd);
    return setup;
}

void SetCertificateDirectory(Bytes& setup, std::uint32_t offset, std::uint32_t size,
                             std::uint32_t directoryCount, bool pe32) {
    unsigned char* optional = &setup[0x40 + 24];
    WriteU16(optional, pe32 ? 0x010B : 0x020B);
    // PE32 keeps its directory count at 92, PE32+ at 108; the directories follow, 8 bytes each.
    const std::size_t countField = pe32 ? 92 : 108;
    const std::size_t security = countField + 4 + std::size_t{4} * 8;
    WriteU32(optional + countField, directoryCount);
    WriteU32(optional + security, offset);
    WriteU32(optional + security + 4, size);
}

std::size_t SignSetup(Bytes& setup, std::size_t tableSize, std::uint32_t seed, bool pe32) {
    while (setup.size() % 8 != 0) {
        setup.push_back(0);
    }
    const std::size_t table = setup.size();
    Append(setup, Noise(tableSize, seed));
    SetCertificateDirectory(setup, static_cast<std::uint32_t>(table),
                            static_cast<std::uint32_t>(tableSize), 16, pe32);
    return table;
}

NameConverter CodePageConverter(const std::string& codePage) {
    auto* const probe = ::iconv_open("UTF-16LE", codePage.c_str());
    if (reinterpret_cast<std::intptr_t>(probe) == -1) {
        throw std::runtime_error("no converter for " + codePage);
    }
    ::iconv_close(probe);
    return [codePage](std::string_view bytes) -> std::optional<std::u16string> {
        auto* const cd = ::iconv_open("UTF-16LE", codePage.c_str());
        std::string in(bytes);
        std::string out(bytes.size() * 4 + 4, '\0');
        char* inPos = in.data();
        std::size_t inLeft = in.size();
        char* outPos = out.data();
        std::size_t outLeft = out.size();
        const std::size_t done = ::iconv(cd, &inPos, &inLeft, &outPos, &outLeft);
        ::iconv_close(cd);
        if (done == static_cast<std::size_t>(-1) || inLeft != 0) {
            return std::nullopt;
        }
        std::u16string wide;
        for (const char* at = out.data(); at < outPos; at += 2) {
            wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(at[0]) |
                                                 (static_cast<unsigned char>(at[1]) << 8)));
        }
        return wide;
    };
}

Extraction Extract(FakeFileSystem& fs) {
    Extraction out;
    fs.CreateFolder("tmp");
    ExtractCallbacks callbacks;
    callbacks.step = [&out] { ++out.steps; };
    callbacks.processMessages = [&out] { ++out.messagePumps; };
    out.result = ExtractPackage(fs, "setup.exe", "tmp", callbacks);
    return out;
}

ExtractResult ExtractPackage(FileSystem& fs, const std::string& setupPath,
                             const std::string& folder, const ExtractCallbacks& callbacks) {
    const auto setup = fs.OpenRead(setupPath);
    const auto location = LocatePayload(*setup);
    return location ? ExtractPayload(fs, *setup, *location, folder, callbacks)
                    : ExtractResult::kNoPackage;
}

}  // namespace nv::package::testing
