#include "fake_file_system.h"

#include <algorithm>
#include <cstring>

namespace nv::package::testing {
namespace {

class FakeInput : public InputFile {
public:
    FakeInput(const Bytes& data, std::size_t visible, std::size_t failAfter)
        : data_(data), visible_(visible), failAfter_(failAfter) {}

    bool Read(void* buffer, std::size_t count, std::size_t& got) override {
        got = 0;
        if (position_ + count > failAfter_) {
            return false;
        }
        const std::size_t end = std::min(visible_, data_.size());
        if (position_ < end) {
            got = std::min(count, end - position_);
            std::memcpy(buffer, data_.data() + position_, got);
        }
        position_ += got;
        return true;
    }
    bool Seek(std::uint64_t position) override {
        position_ = static_cast<std::size_t>(position);
        return true;
    }
    std::optional<std::uint64_t> Size() override { return data_.size(); }

private:
    const Bytes& data_;
    std::size_t visible_;
    std::size_t failAfter_;
    std::size_t position_ = 0;
};

class FakeOutput : public OutputFile {
public:
    FakeOutput(Bytes& data, std::size_t& space) : data_(data), space_(space) {}

    bool Write(const void* data, std::size_t count) override {
        const std::size_t fits = std::min(count, space_);
        const auto* bytes = static_cast<const unsigned char*>(data);
        data_.insert(data_.end(), bytes, bytes + fits);
        space_ -= fits;
        return fits == count;
    }
    bool Close() override { return true; }

private:
    Bytes& data_;
    std::size_t& space_;
};

std::size_t Lookup(const std::map<std::string, std::size_t>& table, const std::string& path) {
    const auto it = table.find(path);
    return it == table.end() ? static_cast<std::size_t>(-1) : it->second;
}

}  // namespace

std::unique_ptr<InputFile> FakeFileSystem::OpenRead(const std::string& path) {
    const auto it = files.find(path);
    if (it == files.end()) {
        return nullptr;
    }
    return std::make_unique<FakeInput>(it->second, Lookup(shortReads, path),
                                       Lookup(failingReads, path));
}

std::unique_ptr<OutputFile> FakeFileSystem::Create(const std::string& path) {
    if (uncreatable.count(path) != 0 || folders.count(path) != 0) {
        return nullptr;
    }
    Bytes& data = files[path];
    data.clear();
    return std::make_unique<FakeOutput>(data, diskSpace);
}

}  // namespace nv::package::testing
