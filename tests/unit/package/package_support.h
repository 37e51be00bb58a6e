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

void Append(Bytes& to, const Bytes& bytes);
void AppendU16(Bytes& to, std::uint16_t value);
void AppendU32(Bytes& to, std::uint32_t value);

// Extracts "setup.exe" of `fs` into "tmp" (created here), counting progress steps.
struct Extraction {
    ExtractResult result = ExtractResult::kOk;
    int steps = 0;
    int messagePumps = 0;
};
Extraction Extract(FakeFileSystem& fs);

}  // namespace nv::package::testing
