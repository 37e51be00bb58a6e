#pragma once
// Extraction of a setup file's payload into a folder, as the installation does it: copy the
// block stream raw into "package.dlz", inflate it into "package.dld", split that into one
// file per entry, check the checksum, delete the two package files.

#include <functional>
#include <string>

#include "package/entry_stream.h"
#include "package/file_system.h"
#include "package/locate.h"

namespace nv::package {

struct ExtractCallbacks {
    // One progress step: per raw piece copied, after decompression, per full 8192-byte chunk
    // of entry data, after each of the two deletions.
    std::function<void()> step;
    // Lets pending window messages run; called after each raw piece.
    std::function<void()> processMessages;
};

enum class ExtractResult { kOk, kNoPackage, kDamaged };

// Copies the payload of `setup` (from PackageOffset to the end of the file, in 32768-byte
// pieces) into the file `destination`; the trailer is dropped when the final piece is
// longer than 4 bytes. Raises nv::Error on I/O failures.
void CopyPayloadRaw(FileSystem& fs, InputFile& setup, const PayloadLocation& location,
                    const std::string& destination, const ExtractCallbacks& callbacks);

// Splits the entry stream in the file `source` into files inside `folder` (created or
// truncated, named after their entries). Stops at the first fault; the files written so far
// stay. Raises nv::Error on I/O failures.
EntryStreamOutcome SplitPackageFile(FileSystem& fs, const std::string& source,
                                    const std::string& folder, const ExtractCallbacks& callbacks);

// Everything after the temporary folder is chosen: raw copy, decompression, splitting,
// verification and, when the package is intact, deletion of both package files. On a damaged
// package every file written stays in `folder`.
ExtractResult ExtractPayload(FileSystem& fs, InputFile& setup, const PayloadLocation& location,
                             const std::string& folder, const ExtractCallbacks& callbacks);

// Locates the payload of the file `setupPath` and extracts it into the existing `folder`.
ExtractResult ExtractPackage(FileSystem& fs, const std::string& setupPath,
                             const std::string& folder, const ExtractCallbacks& callbacks);

}  // namespace nv::package
