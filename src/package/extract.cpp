#include "package/extract.h"

#include <memory>

#include "base/error.h"
#include "package/block_stream.h"
#include "package/format.h"

namespace nv::package {
namespace {

void Call(const std::function<void()>& callback) {
    if (callback) {
        callback();
    }
}

// Writes each entry into its own file inside a folder.
class FolderSink : public EntrySink {
public:
    FolderSink(FileSystem& fs, const std::string& folder) : fs_(fs), folder_(folder) {}

    void BeginEntry(const std::string& name, std::uint32_t /*size*/) override {
        path_ = fs_.JoinPath(folder_, name);
        file_ = fs_.Create(path_);
        if (!file_) {
            throw Error("Cannot create \"" + path_ + "\".");
        }
    }

    void EntryData(const unsigned char* data, std::size_t count) override {
        if (!file_->Write(data, count)) {
            throw Error("Cannot write to \"" + path_ + "\". The disk may be full.");
        }
    }

    void EndEntry() override {
        const bool closed = file_->Close();
        file_.reset();
        if (!closed) {
            throw Error("Cannot write to \"" + path_ + "\". The disk may be full.");
        }
    }

private:
    FileSystem& fs_;
    const std::string& folder_;
    std::string path_;
    std::unique_ptr<OutputFile> file_;
};

}  // namespace

void CopyPayloadRaw(FileSystem& fs, InputFile& setup, const PayloadLocation& location,
                    const std::string& destination, const ExtractCallbacks& callbacks) {
    const auto output = fs.Create(destination);
    if (!output) {
        throw Error("Cannot create \"" + destination + "\".");
    }
    if (!setup.Seek(location.offset)) {
        throw Error("The setup file cannot be read.");
    }
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kTransferBufferSize]);
    std::uint64_t position = location.offset;
    while (position < location.end) {
        const auto want = static_cast<std::size_t>(
            std::min<std::uint64_t>(kTransferBufferSize, location.end - position));
        std::size_t got = 0;
        if (!setup.Read(buffer.get(), want, got) || got != want) {
            throw Error("The setup file cannot be read.");
        }
        position += got;
        if (position == location.end && got > kTrailerSize) {
            got -= kTrailerSize;
        }
        Call(callbacks.step);
        Call(callbacks.processMessages);
        if (!output->Write(buffer.get(), got)) {
            throw Error("Cannot write to \"" + destination + "\". The disk may be full.");
        }
    }
    if (!output->Close()) {
        throw Error("Cannot write to \"" + destination + "\". The disk may be full.");
    }
}

EntryStreamOutcome SplitPackageFile(FileSystem& fs, const std::string& source,
                                    const std::string& folder, const ExtractCallbacks& callbacks) {
    const auto input = fs.OpenRead(source);
    if (!input) {
        throw Error("Cannot open \"" + source + "\".");
    }
    FolderSink sink(fs, folder);
    EntryStreamParser parser(sink, callbacks.step);
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kDataChunkSize]);
    while (!parser.Settled()) {
        std::size_t got = 0;
        if (!input->Read(buffer.get(), kDataChunkSize, got)) {
            throw Error("Cannot read \"" + source + "\".");
        }
        parser.Feed(buffer.get(), got);
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
    DecompressPackageFile(fs, compressed, decompressed);
    Call(callbacks.step);
    if (!SplitPackageFile(fs, decompressed, folder, callbacks).Intact()) {
        return ExtractResult::kDamaged;
    }
    fs.DeleteFile(compressed);
    Call(callbacks.step);
    fs.DeleteFile(decompressed);
    Call(callbacks.step);
    return ExtractResult::kOk;
}

ExtractResult ExtractPackage(FileSystem& fs, const std::string& setupPath,
                             const std::string& folder, const ExtractCallbacks& callbacks) {
    const auto setup = fs.OpenRead(setupPath);
    if (!setup) {
        throw Error("Cannot open \"" + setupPath + "\".");
    }
    const auto location = LocatePayload(*setup);
    if (!location) {
        return ExtractResult::kNoPackage;
    }
    return ExtractPayload(fs, *setup, *location, folder, callbacks);
}

}  // namespace nv::package
