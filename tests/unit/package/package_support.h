#pragma once
// Shared helpers of the package tests: a minimal PE stub, generated file contents, and
// setups built in a FakeFileSystem.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fake_file_system.h"
#include "package/extract.h"
#include "package/pack.h"

namespace nv::package::testing {

// A minimal PE32+ image with one 512-byte section; its image ends at 1024.
Bytes MakeStub();
inline constexpr std::size_t kStubImageEnd = 1024;

// Deterministic contents: `Noise` does not compress, `Text` compresses well.
Bytes Noise(std::size_t size, std::uint32_t seed);
Bytes Text(std::size_t size, std::uint32_t seed);

// The entry stream of `entries` (name, data) as the format lays it out.
Bytes EntryStream(const std::vector<std::pair<std::string, Bytes>>& entries);
// A block stream holding `stream` cut into `pieceSize` pieces at `level`, end marker included.
Bytes BlockStream(const Bytes& stream, std::size_t pieceSize = 32768, int level = 9);
// Stub + payload + trailer naming the stub's size.
Bytes SetupFile(const Bytes& blockStream);
// The first `size` bytes of `bytes`.
inline Bytes Prefix(const Bytes& bytes, std::size_t size) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)};
}

// Signs `setup` the way a code-signing tool lays the signature out: zero bytes up to a
// multiple of 8, then a certificate table of `tableSize` bytes (content from `seed`), named by
// the security data directory of the PE header (PE32+ as MakeStub makes it, or PE32 when
// `pe32` is set, which also rewrites the optional header's magic). Returns the table's offset.
std::size_t SignSetup(Bytes& setup, std::size_t tableSize, std::uint32_t seed = 7,
                      bool pe32 = false);
// Points the security data directory of `setup` at `offset` and `size`, nothing else changed.
void SetCertificateDirectory(Bytes& setup, std::uint32_t offset, std::uint32_t size,
                             std::uint32_t directoryCount = 16, bool pe32 = false);

void Append(Bytes& to, const Bytes& bytes);
void AppendU16(Bytes& to, std::uint16_t value);
void AppendU32(Bytes& to, std::uint32_t value);

// Converts names with the C library's converter of `codePage` ("CP949", "CP932"...), rejecting
// invalid and incomplete sequences as MB_ERR_INVALID_CHARS does: code pages other than
// Windows-1252 as a Windows system with that ANSI code page converts them.
NameConverter CodePageConverter(const std::string& codePage);

// Extracts "setup.exe" of `fs` into "tmp" (created here), counting progress steps.
struct Extraction {
    ExtractResult result = ExtractResult::kOk;
    int steps = 0;
    int messagePumps = 0;
};
Extraction Extract(FakeFileSystem& fs);

// Locates the payload of the file `setupPath` and extracts it into the existing `folder`.
ExtractResult ExtractPackage(FileSystem& fs, const std::string& setupPath,
                             const std::string& folder, const ExtractCallbacks& callbacks);

}  // namespace nv::package::testing
