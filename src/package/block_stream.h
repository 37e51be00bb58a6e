#pragma once
// The block stream: independent zlib streams, each behind its u16 length, ended by a zero
// length. Reading inflates one block at a time and hands its output on as it comes;
// writing compresses one piece of the entry stream into one or more blocks.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "package/file_system.h"

namespace nv::package {

// Where decompressed bytes go. Raises nv::Error when they cannot be stored.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    ByteSink() = default;
    ByteSink(const ByteSink&) = delete;
    ByteSink& operator=(const ByteSink&) = delete;
    ByteSink(ByteSink&&) = delete;
    ByteSink& operator=(ByteSink&&) = delete;

    virtual void Write(const unsigned char* data, std::size_t count) = 0;
};

// How a block stream ended.
enum class BlockStreamEnd {
    kEndMarker,       // the zero length was read
    kEndOfInput,      // the input ended where a block length was due
    kBlockTooLong,    // a block length above 32768
    kBlockTruncated,  // the input ended inside a block
};

struct BlockStreamSummary {
    BlockStreamEnd end = BlockStreamEnd::kEndMarker;
    std::uint32_t blocks = 0;  // blocks inflated
};

// Called after each block has been inflated and its whole output handed on: `produced` is
// that block's output in bytes, `consumed` the bytes of the block stream read so far
// (length fields included).
using BlockDone = std::function<void(std::uint64_t produced, std::uint64_t consumed)>;

// Inflates every block of the stream in `source` (from its read position) into `out`.
// A malformed stream ends the decompression quietly (the summary says how); a block zlib
// cannot inflate raises kInflateFailed; a read failure raises kPackageUnreadable.
BlockStreamSummary InflateBlocks(FileStream& source, ByteSink& out,
                                 const BlockDone& afterBlock = {});

// Inflates the block stream in the file `source` into the file `destination`, deleting
// and creating the latter. Returns false, touching nothing, when the two paths are equal
// texts; otherwise true. Raises nv::Error on I/O failures (kPackageUnreadable when the source
// cannot be read) and kInflateFailed on a block that does not inflate; an error raised by
// `afterBlock` passes through.
bool DecompressPackageFile(FileSystem& fs, const std::string& source,
                           const std::string& destination, const BlockDone& afterBlock = {});

// Compresses pieces of the entry stream into blocks; one per thread, reused across pieces.
class Deflater {
public:
    explicit Deflater(int level);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    Deflater(Deflater&&) = delete;
    Deflater& operator=(Deflater&&) = delete;

    // Compresses `size` bytes at `data` into encoded blocks (each with its u16 length in
    // front) appended to `out`, cutting the piece into halves until every block's compressed
    // form fits in 32768 bytes. Returns the number of blocks appended. The result depends
    // only on the bytes and the level.
    std::uint32_t CompressPiece(const unsigned char* data, std::size_t size,
                                std::vector<unsigned char>& out);

private:
    struct State;
    std::unique_ptr<State> state_;
    std::vector<unsigned char> scratch_;
};

}  // namespace nv::package
