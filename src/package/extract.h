#pragma once
// The payload pipeline, from the same pieces both ways round: the block stream inflated by
// InflateBlocks and the entries parsed by EntryStreamParser.
//  - Staged, as the installation extracts a setup into a folder: copy the block stream raw into
//    "package.dlz", inflate it into "package.dld", split that into one file per entry, check
//    the checksum, delete the two package files.
//  - Streamed, as nvpack reads a setup: the payload inflated straight into the parser.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "package/block_stream.h"
#include "package/entry_stream.h"
#include "package/file_system.h"
#include "package/format.h"
#include "package/locate.h"

namespace nv::package {

// The units of work of an extraction.
enum class ExtractStage {
    kRawCopy,  // one piece of up to 32768 bytes of the payload copied into "package.dlz"
    kInflate,  // one block inflated into "package.dld"
    kSplit,    // one piece of up to 8192 bytes of the entry stream split into files
    kCleanUp,  // one package file deleted
};

// What one unit of work did.
struct ExtractProgress {
    ExtractStage stage = ExtractStage::kRawCopy;
    // Bytes the unit wrote: the raw piece, the block's output, the entry-stream bytes
    // split; 0 for a deletion.
    std::uint64_t bytes = 0;
    // For a block: the bytes of "package.dlz" read so far, length fields included.
    std::uint64_t consumed = 0;
};

// Every member may be empty. After each unit of work `step`, then `progress`, then
// `processMessages` run, in this order; an error any of them raises ends the extraction.
struct ExtractCallbacks {
    std::function<void()> step;  // a unit of work is done
    std::function<void(const ExtractProgress&)> progress;
    // Lets pending window messages run.
    std::function<void()> processMessages;
    // Called as each entry's file is begun, with the entry's name and data size.
    std::function<void(const std::string& name, std::uint32_t size)> entry;
};

enum class ExtractResult { kOk, kNoPackage, kDamaged };

// Copies the payload of `setup` (from PackageOffset to the end of the file, in 32768-byte
// pieces) into the file `destination`; the trailer is dropped when the final piece is
// longer than 4 bytes. Raises nv::Error on I/O failures.
void CopyPayloadRaw(FileSystem& fs, FileStream& setup, const PayloadLocation& location,
                    const std::string& destination, const ExtractCallbacks& callbacks);

// The split reads the entry stream and writes each entry's data in pieces of this size: each
// read or write is a call into the system, which costs far more than the bytes. The stream is
// still parsed, checked and reported in units of kDataChunkSize.
inline constexpr std::size_t kSplitPiece = 8 * kDataChunkSize;

// Splits the entry stream in the file `source` into files inside `folder` (created or
// truncated, named after their entries). Stops at the first fault; the files written so far
// stay. Raises nv::Error on I/O failures.
EntryStreamOutcome SplitPackageFile(FileSystem& fs, const std::string& source,
                                    const std::string& folder, const ExtractCallbacks& callbacks);

// Everything after the temporary folder is chosen: raw copy, decompression, splitting,
// verification and, when the package is intact, deletion of both package files. On a damaged
// package every file written stays in `folder`.
ExtractResult ExtractPayload(FileSystem& fs, FileStream& setup, const PayloadLocation& location,
                             const std::string& folder, const ExtractCallbacks& callbacks);

// What streaming a payload found.
struct StreamedPayload {
    BlockStreamSummary blocks;
    bool inflates = true;  // false when a block did not inflate
    std::uint64_t entryStreamBytes = 0;
    EntryStreamOutcome outcome;  // outcome.entries counts the entries read
};

// Inflates the payload of `setup` at `location` (its trailer left out) block by block straight
// into the entry-stream parser, which judges names with `toUtf16` and hands each entry to
// `sink` as it is read: nothing is held but one block and the entry being read. After each
// piece of output `progress` gets the payload bytes read so far and the payload's size. A
// block that does not inflate ends the reading; a failure to read the setup raises like the
// staged extraction; an error `sink` raises passes through.
StreamedPayload StreamPayload(FileStream& setup, const PayloadLocation& location, EntrySink& sink,
                              const NameConverter& toUtf16,
                              const std::function<void(std::uint64_t, std::uint64_t)>& progress);

}  // namespace nv::package
