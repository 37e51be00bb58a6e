#include "package/extract.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "base/error.h"
#include "package/block_stream.h"
#include "package/format.h"

namespace nv::package {
namespace {

// One unit of work is done: tells every listener, then lets window messages run.
void Report(const ExtractCallbacks& callbacks, ExtractStage stage, std::uint64_t bytes,
            std::uint64_t consumed = 0) {
    if (callbacks.step) {
        callbacks.step();
    }
    if (callbacks.progress) {
        callbacks.progress(ExtractProgress{stage, bytes, consumed});
    }
    if (callbacks.processMessages) {
        callbacks.processMessages();
    }
}

// Writes each entry into its own file inside a folder. The entry's data arrives in chunks of
// kDataChunkSize; they are gathered and written kSplitPiece bytes at a time.
class FolderSink : public EntrySink {
public:
    FolderSink(FileSystem& fs, const std::string& folder, const ExtractCallbacks& callbacks)
        : fs_(fs), folder_(folder), callbacks_(callbacks) {
        pending_.reserve(kSplitPiece);
    }

    void BeginEntry(const std::string& name, std::uint32_t size) override {
        file_ = fs_.Create(fs_.JoinPath(folder_, name));
        pending_.clear();
        if (callbacks_.entry) {
            callbacks_.entry(name, size);
        }
    }

    void EntryData(const unsigned char* data, std::size_t count) override {
        if (pending_.size() + count > kSplitPiece) {
            WritePending();
        }
        if (count >= kSplitPiece) {
            file_->Write(data, count);
            return;
        }
        pending_.insert(pending_.end(), data, data + count);
    }

    void EndEntry() override {
        WritePending();
        const std::shared_ptr<FileStream> file = std::move(file_);
        file->Close();
    }

private:
    void WritePending() {
        if (!pending_.empty()) {
            file_->Write(pending_.data(), pending_.size());
            pending_.clear();
        }
    }

    FileSystem& fs_;
    const std::string& folder_;
    const ExtractCallbacks& callbacks_;
    std::shared_ptr<FileStream> file_;
    std::vector<unsigned char> pending_;  // entry data not yet written
};

// The payload between two offsets of a setup, read as a file of its own.
class PayloadRange : public FileStream {
public:
    PayloadRange(FileStream& file, std::uint64_t begin, std::uint64_t end)
        : FileStream(file.Path()), file_(file), begin_(begin), end_(end), position_(begin) {}

    std::size_t Read(void* buffer, std::size_t count) override {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, end_ - position_));
        const std::size_t got = file_.Read(buffer, want);
        position_ += got;
        return got;
    }
    void Seek(std::uint64_t position) override {
        position_ = std::min(begin_ + position, end_);
        file_.Seek(position_);
    }
    std::uint64_t Size() override { return end_ - begin_; }
    std::uint64_t Done() const { return position_ - begin_; }

private:
    FileStream& file_;
    std::uint64_t begin_;
    std::uint64_t end_;
    std::uint64_t position_;
};

// Feeds inflated bytes to the entry-stream parser, counts them and reports each piece.
class ParserFeed : public ByteSink {
public:
    ParserFeed(EntryStreamParser& parser, std::uint64_t& bytes, std::function<void()> onWrite)
        : parser_(parser), bytes_(bytes), onWrite_(std::move(onWrite)) {}
    void Write(const unsigned char* data, std::size_t count) override {
        parser_.Feed(data, count);
        bytes_ += count;
        onWrite_();
    }

private:
    EntryStreamParser& parser_;
    std::uint64_t& bytes_;
    std::function<void()> onWrite_;
};

}  // namespace

void CopyPayloadRaw(FileSystem& fs, FileStream& setup, const PayloadLocation& location,
                    const std::string& destination, const ExtractCallbacks& callbacks) {
    const auto output = fs.Create(destination);
    ReadingAs(ErrorKind::kSetupUnreadable, {}, [&] { setup.Seek(location.offset); });
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kTransferBufferSize]);
    std::uint64_t position = location.offset;
    while (position < location.end) {
        const auto want = static_cast<std::size_t>(
            std::min<std::uint64_t>(kTransferBufferSize, location.end - position));
        std::size_t got = ReadingAs(ErrorKind::kSetupUnreadable, {},
                                    [&] { return setup.Read(buffer.get(), want); });
        if (got != want) {
            throw Error(ErrorKind::kSetupUnreadable);
        }
        position += got;
        if (position == location.end && got > kTrailerSize) {
            got -= kTrailerSize;
        }
        output->Write(buffer.get(), got);
        Report(callbacks, ExtractStage::kRawCopy, got);
    }
    output->Close();
}

EntryStreamOutcome SplitPackageFile(FileSystem& fs, const std::string& source,
                                    const std::string& folder, const ExtractCallbacks& callbacks) {
    const auto input = fs.OpenRead(source);
    ReadingAs(ErrorKind::kReadFailed, input->Path(), [&] { input->Seek(0); });
    FolderSink sink(fs, folder, callbacks);
    EntryStreamParser parser(sink, [&fs](std::string_view name) { return fs.NameToUtf16(name); });
    // Read in pieces of kSplitPiece, fed to the parser and reported in chunks of
    // kDataChunkSize.
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kSplitPiece]);
    bool more = true;
    while (more && !parser.Settled()) {
        const std::size_t got = input->Read(buffer.get(), kSplitPiece);
        more = got == kSplitPiece;
        for (std::size_t at = 0; at < got && !parser.Settled(); at += kDataChunkSize) {
            const std::size_t chunk = std::min(kDataChunkSize, got - at);
            parser.Feed(buffer.get() + at, chunk);
            Report(callbacks, ExtractStage::kSplit, chunk);
        }
    }
    return parser.Finish();
}

ExtractResult ExtractPayload(FileSystem& fs, FileStream& setup, const PayloadLocation& location,
                             const std::string& folder, const ExtractCallbacks& callbacks) {
    const std::string compressed = fs.JoinPath(folder, kCompressedPackageName);
    const std::string decompressed = fs.JoinPath(folder, kDecompressedPackageName);
    CopyPayloadRaw(fs, setup, location, compressed, callbacks);
    DecompressPackageFile(fs, compressed, decompressed,
                          [&callbacks](std::uint64_t produced, std::uint64_t consumed) {
                              Report(callbacks, ExtractStage::kInflate, produced, consumed);
                          });
    if (!SplitPackageFile(fs, decompressed, folder, callbacks).Intact()) {
        return ExtractResult::kDamaged;
    }
    fs.DeleteFile(compressed);
    Report(callbacks, ExtractStage::kCleanUp, 0);
    fs.DeleteFile(decompressed);
    Report(callbacks, ExtractStage::kCleanUp, 0);
    return ExtractResult::kOk;
}

StreamedPayload StreamPayload(FileStream& setup, const PayloadLocation& location, EntrySink& sink,
                              const NameConverter& toUtf16,
                              const std::function<void(std::uint64_t, std::uint64_t)>& progress) {
    PayloadRange payload(setup, location.offset,
                         std::max(location.offset, location.end - kTrailerSize));
    ReadingAs(ErrorKind::kReadFailed, setup.Path(), [&] { payload.Seek(0); });
    EntryStreamParser parser(sink, toUtf16);
    StreamedPayload streamed;
    ParserFeed feed(parser, streamed.entryStreamBytes,
                    [&] { progress(payload.Done(), payload.Size()); });
    try {
        streamed.blocks = InflateBlocks(payload, feed);
    } catch (const Error& error) {
        if (error.Kind() != ErrorKind::kInflateFailed) {
            throw;
        }
        streamed.inflates = false;
    }
    streamed.outcome = parser.Finish();
    return streamed;
}

}  // namespace nv::package
