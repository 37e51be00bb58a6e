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

    bool Read(void* buffer, std::size_t count, std::size_t& got) override {
        try {
            if (rewind_) {
                stream_->Seek(0);
                rewind_ = false;
            }
            got = stream_->Read(buffer, count);
            return true;
        } catch (const nv::Error&) {
            got = 0;
            return false;
        }
    }
    bool Seek(std::uint64_t position) override {
        try {
            stream_->Seek(position);
            rewind_ = false;
            return true;
        } catch (const nv::Error&) {
            return false;
        }
    }
    std::optional<std::uint64_t> Size() override {
        try {
            return stream_->Size();
        } catch (const nv::Error&) {
            return std::nullopt;
        }
    }

private:
    std::shared_ptr<host::FileStream> stream_;
    bool rewind_;
};

// Writes into a held file; closing it ends the writing, not the hold.
class HostOutputFile final : public package::OutputFile {
public:
    explicit HostOutputFile(std::shared_ptr<host::FileStream> stream)
        : stream_(std::move(stream)) {}

    bool Write(const void* data, std::size_t count) override {
        if (!stream_) {
            return false;
        }
        try {
            stream_->Write(data, count);
            return true;
        } catch (const nv::Error&) {
            return false;
        }
    }
    bool Close() override {
        const bool wasOpen = stream_ != nullptr;
        stream_.reset();
        return wasOpen;
    }

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
    try {
        return std::make_unique<HostInputFile>(host_.OpenFileForReading(path));
    } catch (const nv::Error&) {
        return nullptr;
    }
}

std::unique_ptr<package::OutputFile> HostFileSystem::Create(const std::string& path) {
    // A file made earlier in this run under the same name (a later entry of that name) goes
    // first, through its handle.
    if (const auto held = held_.find(HeldKey(path)); held != held_.end()) {
        if (!held->second->Remove()) {
            return nullptr;
        }
        held_.erase(held);
    }
    try {
        std::shared_ptr<host::FileStream> stream = host_.CreateFileForWriting(path);
        held_[HeldKey(path)] = stream;
        return std::make_unique<HostOutputFile>(std::move(stream));
    } catch (const nv::Error&) {
        return nullptr;
    }
}

bool HostFileSystem::FolderExists(const std::string& path) {
    return host_.FolderExists(path);
}

bool HostFileSystem::CreateFolder(const std::string& path) {
    try {
        host_.CreateFolder(path);
        return true;
    } catch (const nv::Error&) {
        return false;
    }
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
