// The packer's side of the block stream, in a file of its own so that a program which only
// reads payloads (the setup) does not link zlib's compressor.

#define ZLIB_CONST  // input pointers to zlib are pointers to const
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <string>

#include "base/error.h"
#include "package/block_stream.h"
#include "package/format.h"

namespace nv::package {

struct Deflater::State {
    z_stream stream{};
};

Deflater::Deflater(int level) : state_(std::make_unique<State>()) {
    if (deflateInit(&state_->stream, level) != Z_OK) {
        throw Error("Cannot start compression at level " + std::to_string(level) + ".");
    }
}

Deflater::~Deflater() {
    deflateEnd(&state_->stream);
}

std::uint32_t Deflater::CompressPiece(const unsigned char* data, std::size_t size,
                                      std::vector<unsigned char>& out) {
    z_stream& stream = state_->stream;
    if (deflateReset(&stream) != Z_OK) {
        throw Error("Compression failed.");
    }
    scratch_.resize(deflateBound(&stream, static_cast<uLong>(size)));
    stream.next_in = data;
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = scratch_.data();
    stream.avail_out = static_cast<uInt>(scratch_.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) {
        throw Error("Compression failed.");
    }
    const std::size_t compressed = scratch_.size() - stream.avail_out;
    if (compressed > kMaxBlockLength && size > 1) {
        const std::size_t half = size / 2;
        const std::uint32_t first = CompressPiece(data, half, out);
        return first + CompressPiece(data + half, size - half, out);
    }
    const std::size_t start = out.size();
    out.resize(start + 2 + compressed);
    WriteU16(out.data() + start, static_cast<std::uint16_t>(compressed));
    std::copy(scratch_.begin(), scratch_.begin() + static_cast<std::ptrdiff_t>(compressed),
              out.begin() + static_cast<std::ptrdiff_t>(start) + 2);
    return 1;
}

}  // namespace nv::package
