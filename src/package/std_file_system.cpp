#include "package/std_file_system.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/error.h"

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

// The position in `file`, or a negative number on failure.
long long Tell(std::FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return ftello(file);
#endif
}

class StdInputFile : public FileStream {
public:
    StdInputFile(FilePtr file, std::string path)
        : FileStream(std::move(path)), file_(std::move(file)) {}

    std::size_t Read(void* buffer, std::size_t count) override {
        const std::size_t got = std::fread(buffer, 1, count, file_.get());
        if (got != count && std::ferror(file_.get()) != 0) {
            throw Error(ErrorKind::kReadFailed, Path());
        }
        return got;
    }

    void Seek(std::uint64_t position) override {
        if (!SeekTo(file_.get(), position, SEEK_SET)) {
            throw Error(ErrorKind::kSeekFailed, Path());
        }
    }

    std::uint64_t Size() override {
        const long long position = Tell(file_.get());
        if (position < 0 || !SeekTo(file_.get(), 0, SEEK_END)) {
            throw Error(ErrorKind::kReadFailed, Path());
        }
        const long long size = Tell(file_.get());
        if (size < 0 || !SeekTo(file_.get(), static_cast<std::uint64_t>(position), SEEK_SET)) {
            throw Error(ErrorKind::kReadFailed, Path());
        }
        return static_cast<std::uint64_t>(size);
    }

private:
    FilePtr file_;
};

class StdOutputFile : public FileStream {
public:
    StdOutputFile(FilePtr file, std::string path)
        : FileStream(std::move(path)), file_(std::move(file)) {}

    void Write(const void* data, std::size_t count) override {
        if (!file_ || std::fwrite(data, 1, count, file_.get()) != count) {
            throw Error(ErrorKind::kWriteFailed, Path());
        }
    }

    void Close() override {
        if (!file_) {
            throw Error(ErrorKind::kWriteFailed, Path());
        }
        const bool flushed = std::fflush(file_.get()) == 0;
        if (std::fclose(file_.release()) != 0 || !flushed) {
            throw Error(ErrorKind::kWriteFailed, Path());
        }
    }

private:
    FilePtr file_;
};

}  // namespace

std::shared_ptr<FileStream> StdFileSystem::OpenRead(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        // The C library would open a folder and fail only on reading.
        throw Error(ErrorKind::kOpenFailed, path);
    }
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        throw Error(ErrorKind::kOpenFailed, path);
    }
    return std::make_shared<StdInputFile>(std::move(file), path);
}

std::shared_ptr<FileStream> StdFileSystem::Create(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        throw Error(ErrorKind::kCreateFailed, path);
    }
    return std::make_shared<StdOutputFile>(std::move(file), path);
}

bool StdFileSystem::DeleteFile(const std::string& path) {
    std::error_code error;
    return !std::filesystem::is_directory(path, error) && std::filesystem::remove(path, error);
}

}  // namespace nv::package
