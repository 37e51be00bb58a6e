#include "fake_file_system.h"

#include <algorithm>
#include <cstring>

#include "base/error.h"

namespace nv::package::testing {
namespace {

class FakeInput : public FileStream {
public:
    FakeInput(const Bytes& data, std::string path, std::size_t visible, std::size_t failAfter,
              unsigned long code)
        : FileStream(std::move(path)),
          data_(data),
          visible_(visible),
          failAfter_(failAfter),
          code_(code) {}

    std::size_t Read(void* buffer, std::size_t count) override {
        if (position_ + count > failAfter_) {
            throw Error(ErrorKind::kReadFailed, Path(), code_);
        }
        std::size_t got = 0;
        const std::size_t end = std::min(visible_, data_.size());
        if (position_ < end) {
            got = std::min(count, end - position_);
            std::memcpy(buffer, data_.data() + position_, got);
        }
        position_ += got;
        return got;
    }
    void Seek(std::uint64_t position) override { position_ = static_cast<std::size_t>(position); }
    std::uint64_t Size() override { return data_.size(); }

private:
    const Bytes& data_;
    std::size_t visible_;
    std::size_t failAfter_;
    unsigned long code_;
    std::size_t position_ = 0;
};

class FakeOutput : public FileStream {
public:
    FakeOutput(Bytes& data, std::vector<std::size_t>& writes, std::string path, std::size_t& space,
               unsigned long code)
        : FileStream(std::move(path)), data_(data), writes_(writes), space_(space), code_(code) {}

    void Write(const void* data, std::size_t count) override {
        writes_.push_back(count);
        const std::size_t fits = std::min(count, space_);
        const auto* bytes = static_cast<const unsigned char*>(data);
        data_.insert(data_.end(), bytes, bytes + fits);
        space_ -= fits;
        if (fits != count) {
            throw Error(ErrorKind::kWriteFailed, Path(), code_);
        }
    }

private:
    Bytes& data_;
    std::vector<std::size_t>& writes_;
    std::size_t& space_;
    unsigned long code_;
};

std::size_t Lookup(const std::map<std::string, std::size_t>& table, const std::string& path) {
    const auto it = table.find(path);
    return it == table.end() ? static_cast<std::size_t>(-1) : it->second;
}

}  // namespace

std::shared_ptr<FileStream> FakeFileSystem::OpenRead(const std::string& path) {
    const auto it = files.find(path);
    if (it == files.end()) {
        throw Error(ErrorKind::kOpenFailed, path, systemCode);
    }
    return std::make_unique<FakeInput>(it->second, path, Lookup(shortReads, path),
                                       Lookup(failingReads, path), systemCode);
}

std::shared_ptr<FileStream> FakeFileSystem::Create(const std::string& path) {
    if (uncreatable.count(path) != 0 || folders.count(path) != 0) {
        throw Error(ErrorKind::kCreateFailed, path, systemCode);
    }
    Bytes& data = files[path];
    data.clear();
    std::vector<std::size_t>& sizes = writes[path];
    sizes.clear();
    return std::make_unique<FakeOutput>(data, sizes, path, diskSpace, systemCode);
}

}  // namespace nv::package::testing
