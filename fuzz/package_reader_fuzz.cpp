// libFuzzer target over the payload reader. The first byte picks what the rest is taken as:
//   0: a whole setup file, extracted into an in-memory folder "tmp";
//   1: a block stream, inflated and parsed as an entry stream;
//   2: an entry stream.
// Beyond not crashing, it checks that nothing is written outside "tmp" and that no entry
// receives more bytes than its size announced.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/error.h"
#include "package/block_stream.h"
#include "package/entry_stream.h"
#include "package/extract.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

class MemoryInput : public nv::FileStream {
public:
    MemoryInput(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Read(void* buffer, std::size_t count) override {
        const std::size_t got = position_ < size_ ? std::min(count, size_ - position_) : 0;
        if (got != 0) {
            std::memcpy(buffer, data_ + position_, got);
        }
        position_ += got;
        return got;
    }
    void Seek(std::uint64_t position) override {
        position_ = static_cast<std::size_t>(std::min<std::uint64_t>(position, size_ + 1));
    }
    std::uint64_t Size() override { return size_; }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

class MemoryOutput : public nv::FileStream {
public:
    MemoryOutput(Bytes& data, std::string path) : nv::FileStream(std::move(path)), data_(data) {}
    void Write(const void* data, std::size_t count) override {
        if (data_.size() + count > (64U << 20)) {
            throw nv::Error(nv::ErrorKind::kWriteFailed, Path());  // a full disk, to bound memory
        }
        const auto* bytes = static_cast<const unsigned char*>(data);
        data_.insert(data_.end(), bytes, bytes + count);
    }

private:
    Bytes& data_;
};

class MemoryFileSystem : public nv::package::FileSystem {
public:
    std::map<std::string, Bytes> files;

    std::shared_ptr<nv::FileStream> OpenRead(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end()) {
            throw nv::Error(nv::ErrorKind::kOpenFailed, path);
        }
        return std::make_unique<MemoryInput>(it->second.data(), it->second.size());
    }
    std::shared_ptr<nv::FileStream> Create(const std::string& path) override {
        Check(path.rfind("tmp\\", 0) == 0 && path.find_first_of("\\/:", 4) == std::string::npos);
        Bytes& data = files[path];
        data.clear();
        return std::make_unique<MemoryOutput>(data, path);
    }
    bool DeleteFile(const std::string& path) override { return files.erase(path) != 0; }
    std::string JoinPath(const std::string& folder, const std::string& name) override {
        return folder + "\\" + name;
    }
};

// Counts what the parser hands on and checks it against the announced sizes.
class CheckingSink : public nv::package::EntrySink {
public:
    void BeginEntry(const std::string& name, std::uint32_t size) override {
        Check(!open_ && !name.empty());
        open_ = true;
        left_ = size;
    }
    void EntryData(const unsigned char* /*data*/, std::size_t count) override {
        Check(open_ && count <= left_);
        left_ -= count;
    }
    void EndEntry() override {
        Check(open_);
        open_ = false;
    }

private:
    bool open_ = false;
    std::uint64_t left_ = 0;
};

class ParserFeed : public nv::package::ByteSink {
public:
    explicit ParserFeed(nv::package::EntryStreamParser& parser) : parser_(parser) {}
    void Write(const unsigned char* data, std::size_t count) override {
        total_ += count;
        if (total_ > (64U << 20)) {
            throw nv::Error("too much output");
        }
        parser_.Feed(data, count);
    }

private:
    nv::package::EntryStreamParser& parser_;
    std::size_t total_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int mode = data[0] % 3;
    ++data;
    --size;
    try {
        if (mode == 0) {
            MemoryFileSystem fs;
            fs.files["setup.exe"] = Bytes(data, data + size);
            const auto setup = fs.OpenRead("setup.exe");
            const auto location = nv::package::LocatePayload(*setup);
            if (location && nv::package::ExtractPayload(fs, *setup, *location, "tmp", {}) ==
                                nv::package::ExtractResult::kOk) {
                Check(fs.files.count("tmp\\package.dlz") == 0);
            }
        } else {
            CheckingSink sink;
            nv::package::EntryStreamParser parser(sink, nv::package::Windows1252ToUtf16);
            if (mode == 1) {
                MemoryInput input(data, size);
                ParserFeed feed(parser);
                nv::package::InflateBlocks(input, feed);
            } else {
                parser.Feed(data, size);
            }
            const auto outcome = parser.Finish();
            Check(outcome.Intact() == outcome.fault.empty());
        }
    } catch (const nv::Error&) {
        // Expected for blocks that do not inflate and for full "disks".
    }
    return 0;
}
