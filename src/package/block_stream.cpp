#include "package/block_stream.h"

#define ZLIB_CONST  // input pointers to zlib are pointers to const
#include <zlib.h>

#include <algorithm>
#include <memory>

#include "base/error.h"
#include "package/format.h"

namespace nv::package {
namespace {

// Size of the buffer each block's output passes through on its way to the sink.
constexpr std::size_t kInflateOutputSize = 65536;

class Inflater {
public:
    Inflater() {
        if (inflateInit(&stream_) != Z_OK) {
            throw Error(ErrorKind::kInflateFailed);
        }
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    Inflater(Inflater&&) = delete;
    Inflater& operator=(Inflater&&) = delete;

    // Inflates one complete zlib stream, handing its output to `out` piece by piece, and
    // returns the number of bytes it produced. Bytes after the stream's end are ignored.
    std::uint64_t InflateBlock(const unsigned char* data, std::size_t size, ByteSink& out) {
        if (inflateReset(&stream_) != Z_OK) {
            throw Error(ErrorKind::kInflateFailed);
        }
        stream_.next_in = data;
        stream_.avail_in = static_cast<uInt>(size);
        std::uint64_t total = 0;
        for (;;) {
            stream_.next_out = output_.get();
            stream_.avail_out = static_cast<uInt>(kInflateOutputSize);
            const int status = inflate(&stream_, Z_NO_FLUSH);
            const std::size_t produced = kInflateOutputSize - stream_.avail_out;
            if (status != Z_OK && status != Z_STREAM_END) {
                // Corrupt data, or the stream ends inside the block.
                throw Error(ErrorKind::kInflateFailed);
            }
            if (produced != 0) {
                out.Write(output_.get(), produced);
                total += produced;
            }
            if (status == Z_STREAM_END) {
                return total;
            }
            if (stream_.avail_in == 0 && stream_.avail_out != 0) {
                // All input used, yet the stream has not ended.
                throw Error(ErrorKind::kInflateFailed);
            }
        }
    }

private:
    z_stream stream_{};
    std::unique_ptr<unsigned char[]> output_{new unsigned char[kInflateOutputSize]};
};

// Reads exactly `count` bytes unless the input ends first; returns how many arrived.
std::size_t ReadUpTo(FileStream& source, unsigned char* buffer, std::size_t count) {
    return ReadingAs(ErrorKind::kPackageUnreadable, {}, [&] { return source.Read(buffer, count); });
}

class FileSink : public ByteSink {
public:
    explicit FileSink(FileStream& file) : file_(file) {}
    void Write(const unsigned char* data, std::size_t count) override { file_.Write(data, count); }

private:
    FileStream& file_;
};

}  // namespace

BlockStreamSummary InflateBlocks(FileStream& source, ByteSink& out, const BlockDone& afterBlock) {
    Inflater inflater;
    const std::unique_ptr<unsigned char[]> input(new unsigned char[kMaxBlockLength]);
    std::uint32_t blocks = 0;
    std::uint64_t consumed = 0;
    for (;;) {
        unsigned char lengthField[2];
        if (ReadUpTo(source, lengthField, 2) != 2) {
            return {BlockStreamEnd::kEndOfInput, blocks};
        }
        const std::size_t length = ReadU16(lengthField);
        if (length == 0) {
            return {BlockStreamEnd::kEndMarker, blocks};
        }
        if (length > kMaxBlockLength) {
            return {BlockStreamEnd::kBlockTooLong, blocks};
        }
        if (ReadUpTo(source, input.get(), length) != length) {
            return {BlockStreamEnd::kBlockTruncated, blocks};
        }
        const std::uint64_t produced = inflater.InflateBlock(input.get(), length, out);
        ++blocks;
        consumed += 2 + length;
        if (afterBlock) {
            afterBlock(produced, consumed);
        }
    }
}

bool DecompressPackageFile(FileSystem& fs, const std::string& source,
                           const std::string& destination, const BlockDone& afterBlock) {
    if (source == destination) {
        return false;
    }
    const auto input = fs.OpenRead(source);
    fs.DeleteFile(destination);
    const auto output = fs.Create(destination);
    ReadingAs(ErrorKind::kPackageUnreadable, {}, [&] { input->Seek(0); });
    FileSink sink(*output);
    InflateBlocks(*input, sink, afterBlock);
    output->Close();
    return true;
}

}  // namespace nv::package
