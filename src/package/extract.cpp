#include "package/extract.h"

#include <algorithm>
#include <memory>
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
        ExtractProgress progress;
        progress.stage = stage;
        progress.bytes = bytes;
        progress.consumed = consumed;
        callbacks.progress(progress);
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
        const std::unique_ptr<OutputFile> file = std::move(file_);
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
    std::unique_ptr<OutputFile> file_;
    std::vector<unsigned char> pending_;  // entry data not yet written
};

}  // namespace

void CopyPayloadRaw(FileSystem& fs, InputFile& setup, const PayloadLocation& location,
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

ExtractResult ExtractPayload(FileSystem& fs, InputFile& setup, const PayloadLocation& location,
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

ExtractResult ExtractPackage(FileSystem& fs, const std::string& setupPath,
                             const std::string& folder, const ExtractCallbacks& callbacks) {
    const auto setup = fs.OpenRead(setupPath);
    const auto location = LocatePayload(*setup);
    if (!location) {
        return ExtractResult::kNoPackage;
    }
    return ExtractPayload(fs, *setup, *location, folder, callbacks);
}

}  // namespace nv::package
