#include "package/pack.h"

#include <condition_variable>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "base/error.h"
#include "package/block_stream.h"
#include "package/format.h"
#include "package/pe_image.h"

namespace nv::package {
namespace {

struct Compressed {
    std::vector<unsigned char> bytes;  // encoded blocks
    std::uint32_t blocks = 0;
};

// Worker threads, each with its own Deflater, taking pieces in the order they come.
class CompressPool {
public:
    CompressPool(unsigned threads, int level) {
        for (unsigned i = 0; i < threads; ++i) {
            workers_.emplace_back([this, level] { Work(level); });
        }
    }
    ~CompressPool() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (auto& worker : workers_) {
            worker.join();
        }
    }
    CompressPool(const CompressPool&) = delete;
    CompressPool& operator=(const CompressPool&) = delete;
    CompressPool(CompressPool&&) = delete;
    CompressPool& operator=(CompressPool&&) = delete;

    std::future<Compressed> Submit(std::vector<unsigned char> piece) {
        Task task{std::move(piece), {}};
        auto result = task.promise.get_future();
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back(std::move(task));
        }
        wake_.notify_one();
        return result;
    }

private:
    struct Task {
        std::vector<unsigned char> piece;
        std::promise<Compressed> promise;
    };

    void Work(int level) {
        std::unique_ptr<Deflater> deflater;
        for (;;) {
            Task task;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
                if (queue_.empty()) {
                    return;
                }
                task = std::move(queue_.front());
                queue_.pop_front();
            }
            try {
                if (!deflater) {
                    deflater = std::make_unique<Deflater>(level);
                }
                Compressed out;
                out.blocks =
                    deflater->CompressPiece(task.piece.data(), task.piece.size(), out.bytes);
                task.promise.set_value(std::move(out));
            } catch (...) {
                task.promise.set_exception(std::current_exception());
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> queue_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

class Output {
public:
    Output(FileSystem& fs, const std::string& path)
        : fs_(fs), path_(path), file_(fs.Create(path)) {}
    ~Output() {
        if (file_) {
            file_.reset();
            fs_.DeleteFile(path_);
        }
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    Output(Output&&) = delete;
    Output& operator=(Output&&) = delete;

    void Write(const unsigned char* data, std::size_t count) {
        file_->Write(data, count);
        written_ += count;
    }
    std::uint64_t Written() const { return written_; }
    // Closes the finished file, which is then kept.
    void Commit() {
        std::shared_ptr<FileStream> file = std::move(file_);
        try {
            file->Close();
        } catch (const Error&) {
            file.reset();
            fs_.DeleteFile(path_);
            throw;
        }
    }

private:
    FileSystem& fs_;
    std::string path_;
    std::shared_ptr<FileStream> file_;
    std::uint64_t written_ = 0;
};

// Opens the stub and returns it with its size, after checking it can carry a payload.
std::shared_ptr<FileStream> OpenStub(FileSystem& fs, const std::string& stubPath,
                                     std::uint64_t& size) {
    auto stub = fs.OpenRead(stubPath);
    const std::uint64_t stubSize = stub->Size();
    if (!ReadPeLayout(*stub)) {
        throw Error("\"" + stubPath + "\" is not a Windows executable.");
    }
    if (stubSize > 0x7FFFFFFFULL) {
        throw Error("\"" + stubPath + "\" is 2 GiB or larger, too large for a setup stub.");
    }
    ReadingAs(ErrorKind::kReadFailed, stubPath, [&] { stub->Seek(0); });
    size = stubSize;
    return stub;
}

void CopyStub(FileStream& stub, const std::string& stubPath, std::uint64_t size, Output& out) {
    std::vector<unsigned char> buffer(kTransferBufferSize);
    while (size > 0) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size));
        const std::size_t got = stub.Read(buffer.data(), want);
        if (got != want) {
            throw Error(ErrorKind::kReadFailed, stubPath);
        }
        out.Write(buffer.data(), got);
        size -= got;
    }
}

}  // namespace

PackSummary WritePackage(FileSystem& fs, const std::string& stubPath,
                         const std::vector<PackEntry>& entries, const std::string& outPath,
                         const PackOptions& options) {
    if (options.level < 0 || options.level > 9) {
        throw Error("The compression level must be 0 to 9.");
    }
    if (options.pieceSize == 0 || options.pieceSize > kMaxPieceSize) {
        throw Error("The piece size must be 1 to " + std::to_string(kMaxPieceSize) + " bytes.");
    }
    PackSummary summary;
    std::uint64_t stubSize = 0;
    const auto stub = OpenStub(fs, stubPath, stubSize);
    summary.entryStreamSize = 6;
    for (const auto& entry : entries) {
        summary.entryStreamSize += 2 + entry.name.size() + 4 + CheckPackEntry(fs, entry);
    }

    Output out(fs, outPath);
    CopyStub(*stub, stubPath, stubSize, out);
    summary.payloadOffset = stubSize;

    EntryStreamSource source(fs, entries);
    const unsigned jobs = options.jobs == 0 ? 1 : options.jobs;
    const std::size_t window = 2 * static_cast<std::size_t>(jobs);
    std::unique_ptr<CompressPool> pool;
    std::unique_ptr<Deflater> inlineDeflater;
    if (jobs > 1) {
        pool = std::make_unique<CompressPool>(jobs, options.level);
    } else {
        inlineDeflater = std::make_unique<Deflater>(options.level);
    }
    std::deque<std::future<Compressed>> inFlight;
    std::uint64_t done = 0;
    const auto writeOut = [&](const Compressed& piece) {
        out.Write(piece.bytes.data(), piece.bytes.size());
        summary.blocks += piece.blocks;
    };
    for (;;) {
        std::vector<unsigned char> piece(options.pieceSize);
        piece.resize(source.Read(piece.data(), piece.size()));
        if (piece.empty()) {
            break;
        }
        done += piece.size();
        if (pool) {
            inFlight.push_back(pool->Submit(std::move(piece)));
            if (inFlight.size() >= window) {
                writeOut(inFlight.front().get());
                inFlight.pop_front();
            }
        } else {
            Compressed compressed;
            compressed.blocks =
                inlineDeflater->CompressPiece(piece.data(), piece.size(), compressed.bytes);
            writeOut(compressed);
        }
        if (options.progress) {
            options.progress(done, summary.entryStreamSize);
        }
    }
    while (!inFlight.empty()) {
        writeOut(inFlight.front().get());
        inFlight.pop_front();
    }
    summary.checksum = source.Checksum();

    // End marker, zero padding, trailer. The padding makes the file a multiple of 8 bytes
    // long, so that a code-signing tool appends its certificate table right behind the
    // trailer, where the reader looks for it, instead of padding the file first.
    unsigned char tail[2 + kSignatureAlignment - 1 + kTrailerSize] = {};
    const auto unpadded =
        static_cast<std::size_t>((out.Written() + 2 + kTrailerSize) % kSignatureAlignment);
    const std::size_t padding = (kSignatureAlignment - unpadded) % kSignatureAlignment;
    WriteU16(tail, 0);
    WriteU32(tail + 2 + padding, static_cast<std::uint32_t>(stubSize));
    out.Write(tail, 2 + padding + kTrailerSize);
    out.Commit();
    return summary;
}

}  // namespace nv::package
