#include "wizard/host_file_system.h"

#include <utility>

#include "base/error.h"

namespace nv::wizard {

namespace {

class HostInputFile final : public package::InputFile {
public:
    explicit HostInputFile(std::unique_ptr<host::FileStream> stream)
        : stream_(std::move(stream)) {}

    bool Read(void* buffer, std::size_t count, std::size_t& got) override {
        try {
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
    std::unique_ptr<host::FileStream> stream_;
};

class HostOutputFile final : public package::OutputFile {
public:
    explicit HostOutputFile(std::unique_ptr<host::FileStream> stream)
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
    std::unique_ptr<host::FileStream> stream_;
};

}  // namespace

std::unique_ptr<package::InputFile> HostFileSystem::OpenRead(const std::string& path) {
    try {
        return std::make_unique<HostInputFile>(host_.OpenFileForReading(path));
    } catch (const nv::Error&) {
        return nullptr;
    }
}

std::unique_ptr<package::OutputFile> HostFileSystem::Create(const std::string& path) {
    try {
        return std::make_unique<HostOutputFile>(host_.CreateFileForWriting(path));
    } catch (const nv::Error&) {
        return nullptr;
    }
}

bool HostFileSystem::FolderExists(const std::string& path) { return host_.FolderExists(path); }

bool HostFileSystem::CreateFolder(const std::string& path) {
    try {
        host_.CreateFolder(path);
        return true;
    } catch (const nv::Error&) {
        return false;
    }
}

bool HostFileSystem::DeleteFile(const std::string& path) { return host_.RemoveFile(path); }

}  // namespace nv::wizard
