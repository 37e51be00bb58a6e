#include "package/extract.h"

#include <memory>

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

// Writes each entry into its own file inside a folder.
class FolderSink : public EntrySink {
public:
    FolderSink(FileSystem& fs, const std::string& folder, const ExtractCallbacks& callbacks)
        : fs_(fs), folder_(folder), callbacks_(callbacks) {}

    void BeginEntry(const std::string& name, std::uint32_t size) override {
        file_ = fs_.Create(fs_.JoinPath(folder_, name));
        if (callbacks_.entry) {
            callbacks_.entry(name, size);
        }
    }

    void EntryData(const unsigned char* data, std::size_t count) override {
        file_->Write(data, count);
    }

    void EndEntry() override {
        const std::unique_ptr<OutputFile> file = std::move(file_);
        file->Close();
    }

private:
    FileSystem& fs_;
    const std::string& folder_;
    const ExtractCallbacks& callbacks_;
    std::unique_ptr<OutputFile> file_;
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
    EntryStreamParser parser(sink);
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kDataChunkSize]);
    while (!parser.Settled()) {
        const std::size_t got = input->Read(buffer.get(), kDataChunkSize);
        parser.Feed(buffer.get(), got);
        if (got != 0) {
            Report(callbacks, ExtractStage::kSplit, got);
        }
        if (got < kDataChunkSize) {
            break;
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
