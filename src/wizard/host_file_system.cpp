#include "wizard/host_file_system.h"

#include <utility>

#include "base/error.h"
#include "base/text.h"

namespace nv::wizard {

namespace {

// Reads a host stream. A stream that was written first is read from its start: the move
// back there happens with the first read, so that its failure is a failure to read.
class HostInputFile final : public package::InputFile {
public:
    explicit HostInputFile(std::shared_ptr<host::FileStream> stream, bool rewind = false)
        : stream_(std::move(stream)), rewind_(rewind) {}

    std::size_t Read(void* buffer, std::size_t count) override {
        if (rewind_) {
            package::ReadingAs(ErrorKind::kReadFailed, stream_->Path(), [&] { stream_->Seek(0); });
            rewind_ = false;
        }
        return stream_->Read(buffer, count);
    }
    void Seek(std::uint64_t position) override {
        stream_->Seek(position);
        rewind_ = false;
    }
    std::uint64_t Size() override { return stream_->Size(); }

private:
    std::shared_ptr<host::FileStream> stream_;
    bool rewind_;
};

// Writes into a held file; closing it ends the writing, not the hold.
class HostOutputFile final : public package::OutputFile {
public:
    explicit HostOutputFile(std::shared_ptr<host::FileStream> stream)
        : stream_(std::move(stream)) {}

    void Write(const void* data, std::size_t count) override { stream_->Write(data, count); }
    void Close() override { stream_.reset(); }

private:
    std::shared_ptr<host::FileStream> stream_;
};

std::string HeldKey(const std::string& path) {
    return LowerCaseAscii(path);
}

}  // namespace

std::unique_ptr<package::InputFile> ReadThrough(host::FileStream& stream) {
    return std::make_unique<HostInputFile>(
        std::shared_ptr<host::FileStream>(&stream, [](host::FileStream* /*borrowed*/) {}));
}

std::unique_ptr<package::InputFile> HostFileSystem::OpenRead(const std::string& path) {
    if (const auto held = held_.find(HeldKey(path)); held != held_.end()) {
        return std::make_unique<HostInputFile>(held->second, true);
    }
    return std::make_unique<HostInputFile>(host_.OpenFileForReading(path));
}

std::unique_ptr<package::OutputFile> HostFileSystem::Create(const std::string& path) {
    // A file made earlier in this run under the same name (a later entry of that name) goes
    // first, through its handle; while it stays, the name cannot be made anew.
    if (const auto held = held_.find(HeldKey(path)); held != held_.end()) {
        if (!held->second->Remove()) {
            throw Error(ErrorKind::kCreateFailed, path);
        }
        held_.erase(held);
    }
    const std::string prefix = folder_ != nullptr ? folder_->Path() + '\\' : std::string();
    const bool inside = folder_ != nullptr && path.size() > prefix.size() &&
                        SameTextIgnoreCase(path.substr(0, prefix.size()), prefix) &&
                        path.find('\\', prefix.size()) == std::string::npos;
    std::shared_ptr<host::FileStream> stream =
        inside ? folder_->CreateFileInside(path.substr(prefix.size()))
               : host_.CreateFileForWriting(path);
    held_[HeldKey(path)] = stream;
    return std::make_unique<HostOutputFile>(std::move(stream));
}

bool HostFileSystem::DeleteFile(const std::string& path) {
    const auto held = held_.find(HeldKey(path));
    if (held == held_.end()) {
        return host_.RemoveFile(path);
    }
    if (!held->second->Remove()) {
        return false;
    }
    held_.erase(held);
    return true;
}

host::FileStream* HostFileSystem::Held(const std::string& path) {
    const auto held = held_.find(HeldKey(path));
    return held == held_.end() ? nullptr : held->second.get();
}

}  // namespace nv::wizard
