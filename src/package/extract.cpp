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
        path_ = fs_.JoinPath(folder_, name);
        file_ = fs_.Create(path_);
        if (!file_) {
            throw Error(ErrorKind::kCreateFailed, path_);
        }
        if (callbacks_.entry) {
            callbacks_.entry(name, size);
        }
    }

    void EntryData(const unsigned char* data, std::size_t count) override {
        if (!file_->Write(data, count)) {
            throw Error(ErrorKind::kWriteFailed, path_);
        }
    }

    void EndEntry() override {
        const bool closed = file_->Close();
        file_.reset();
        if (!closed) {
            throw Error(ErrorKind::kWriteFailed, path_);
        }
    }

private:
    FileSystem& fs_;
    const std::string& folder_;
    const ExtractCallbacks& callbacks_;
    std::string path_;
    std::unique_ptr<OutputFile> file_;
};

}  // namespace

void CopyPayloadRaw(FileSystem& fs, InputFile& setup, const PayloadLocation& location,
                    const std::string& destination, const ExtractCallbacks& callbacks) {
    const auto output = fs.Create(destination);
    if (!output) {
        throw Error(ErrorKind::kCreateFailed, destination);
    }
    if (!setup.Seek(location.offset)) {
        throw Error(ErrorKind::kSetupUnreadable);
    }
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kTransferBufferSize]);
    std::uint64_t position = location.offset;
    while (position < location.end) {
        const auto want = static_cast<std::size_t>(
            std::min<std::uint64_t>(kTransferBufferSize, location.end - position));
        std::size_t got = 0;
        if (!setup.Read(buffer.get(), want, got) || got != want) {
            throw Error(ErrorKind::kSetupUnreadable);
        }
        position += got;
        if (position == location.end && got > kTrailerSize) {
            got -= kTrailerSize;
        }
        if (!output->Write(buffer.get(), got)) {
            throw Error(ErrorKind::kWriteFailed, destination);
        }
        Report(callbacks, ExtractStage::kRawCopy, got);
    }
    if (!output->Close()) {
        throw Error(ErrorKind::kWriteFailed, destination);
    }
}

EntryStreamOutcome SplitPackageFile(FileSystem& fs, const std::string& source,
                                    const std::string& folder, const ExtractCallbacks& callbacks) {
    const auto input = fs.OpenRead(source);
    if (!input) {
        throw Error(ErrorKind::kOpenFailed, source);
    }
    FolderSink sink(fs, folder, callbacks);
    EntryStreamParser parser(sink);
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kDataChunkSize]);
    while (!parser.Settled()) {
        std::size_t got = 0;
        if (!input->Read(buffer.get(), kDataChunkSize, got)) {
            throw Error(ErrorKind::kReadFailed, source);
        }
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
    if (!setup) {
        throw Error(ErrorKind::kOpenFailed, setupPath);
    }
    const auto location = LocatePayload(*setup);
    if (!location) {
        return ExtractResult::kNoPackage;
    }
    return ExtractPayload(fs, *setup, *location, folder, callbacks);
}

}  // namespace nv::package
