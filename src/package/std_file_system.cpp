#include "package/std_file_system.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace nv::package {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { (void)std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool SeekTo(std::FILE* file, std::uint64_t position, int origin) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<long long>(position), origin) == 0;
#else
    return fseeko(file, static_cast<off_t>(position), origin) == 0;
#endif
}

std::optional<std::uint64_t> Tell(std::FILE* file) {
#ifdef _WIN32
    const long long position = _ftelli64(file);
#else
    const off_t position = ftello(file);
#endif
    if (position < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(position);
}

class StdInputFile : public InputFile {
public:
    explicit StdInputFile(FilePtr file) : file_(std::move(file)) {}

    bool Read(void* buffer, std::size_t count, std::size_t& got) override {
        got = std::fread(buffer, 1, count, file_.get());
        return got == count || std::ferror(file_.get()) == 0;
    }

    bool Seek(std::uint64_t position) override { return SeekTo(file_.get(), position, SEEK_SET); }

    std::optional<std::uint64_t> Size() override {
        const auto position = Tell(file_.get());
        if (!position || !SeekTo(file_.get(), 0, SEEK_END)) {
            return std::nullopt;
        }
        const auto size = Tell(file_.get());
        if (!SeekTo(file_.get(), *position, SEEK_SET)) {
            return std::nullopt;
        }
        return size;
    }

private:
    FilePtr file_;
};

class StdOutputFile : public OutputFile {
public:
    explicit StdOutputFile(FilePtr file) : file_(std::move(file)) {}

    bool Write(const void* data, std::size_t count) override {
        return file_ && std::fwrite(data, 1, count, file_.get()) == count;
    }

    bool Close() override {
        if (!file_) {
            return false;
        }
        const bool flushed = std::fflush(file_.get()) == 0;
        return std::fclose(file_.release()) == 0 && flushed;
    }

private:
    FilePtr file_;
};

}  // namespace

std::unique_ptr<InputFile> StdFileSystem::OpenRead(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return nullptr;  // the C library would open a folder and fail only on reading
    }
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return nullptr;
    }
    return std::make_unique<StdInputFile>(std::move(file));
}

std::unique_ptr<OutputFile> StdFileSystem::Create(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return nullptr;
    }
    return std::make_unique<StdOutputFile>(std::move(file));
}

bool StdFileSystem::FolderExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool StdFileSystem::CreateFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::create_directory(path, error);
}

bool StdFileSystem::DeleteFile(const std::string& path) {
    std::error_code error;
    return !std::filesystem::is_directory(path, error) && std::filesystem::remove(path, error);
}

}  // namespace nv::package
