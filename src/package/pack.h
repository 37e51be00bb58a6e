#pragma once
// Building a setup: the stub executable, then the block stream of the entry stream, zero
// padding to a multiple of 8 bytes, then the trailer. Pieces are compressed in parallel; the
// output is the same for any number of jobs. A setup is signed after it is built.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "package/entry_stream.h"
#include "package/file_system.h"

namespace nv::package {

struct PackOptions {
    int level = 9;                  // zlib level 0..9
    std::size_t pieceSize = 32768;  // entry-stream bytes per piece before compression
    unsigned jobs = 1;              // compressing threads
    // Called now and then with the entry-stream bytes done and their total.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
};

inline constexpr std::size_t kMaxPieceSize = std::size_t{16} << 20;

struct PackSummary {
    std::uint64_t payloadOffset = 0;
    std::uint64_t entryStreamSize = 0;
    std::uint64_t blocks = 0;
    std::uint32_t checksum = 0;
};

// Writes `stubPath` with the payload of `entries` appended to `outPath`. Checks every input
// first (the stub must be a PE image below 2 GiB, each entry a readable file below 4 GiB
// with a plain name) and raises nv::Error naming the fault; a failed output is deleted.
PackSummary WritePackage(FileSystem& fs, const std::string& stubPath,
                         const std::vector<PackEntry>& entries, const std::string& outPath,
                         const PackOptions& options);

}  // namespace nv::package
