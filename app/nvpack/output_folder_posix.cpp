// OutputFolder on POSIX systems: the folder is a descriptor opened O_DIRECTORY | O_NOFOLLOW,
// and files are made with openat(O_CREAT | O_EXCL | O_NOFOLLOW) relative to it, so neither a
// link at a file's name nor the folder being renamed or replaced afterwards redirects a write.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "base/error.h"
#include "output_folder.h"

namespace nvpack {
namespace {

// Sole owner of one file descriptor.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&&) = delete;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    bool IsValid() const { return fd_ >= 0; }
    // Closes the descriptor; false when the close reported an error.
    bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }
    void Reset(int fd = -1) {
        const int old = std::exchange(fd_, fd);
        if (old >= 0) {
            (void)::close(old);
        }
    }

private:
    int fd_ = -1;
};

class FdOutputFile : public nv::FileStream {
public:
    FdOutputFile(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}

    void Write(const void* data, std::size_t count) override {
        const auto* bytes = static_cast<const unsigned char*>(data);
        while (count > 0 && fd_.IsValid()) {
            const ssize_t written = ::write(fd_.Get(), bytes, count);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                break;
            }
            bytes += written;
            count -= static_cast<std::size_t>(written);
        }
        if (count > 0 || !fd_.IsValid()) {
            throw nv::Error(nv::ErrorKind::kWriteFailed, path_);
        }
    }

    void Close() override {
        if (!fd_.IsValid() || !fd_.Close()) {
            throw nv::Error(nv::ErrorKind::kWriteFailed, path_);
        }
    }

private:
    UniqueFd fd_;
    std::string path_;
};

}  // namespace

struct OutputFolder::Handle {
    UniqueFd fd;
};

OutputFolder::OutputFolder(const std::string& path)
    : path_(WithoutTrailingSeparators(path)), handle_(std::make_unique<Handle>()) {
    std::error_code ignored;
    std::filesystem::create_directories(path_, ignored);  // opening below tells what is wrong
    handle_->fd.Reset(::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (handle_->fd.IsValid()) {
        return;
    }
    const int error = errno;
    struct stat status {};
    if (::lstat(path_.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        throw nv::Error("The folder \"" + path_ +
                        "\" is a symbolic link; extract writes only into a real folder.");
    }
    if (error == ENOTDIR) {
        throw nv::Error("\"" + path_ + "\" is not a folder.");
    }
    throw nv::Error("Cannot create or open the folder \"" + path_ + "\": " + std::strerror(error) +
                    ".");
}

OutputFolder::~OutputFolder() = default;

std::unique_ptr<nv::FileStream> OutputFolder::CreateNew(const std::string& name, bool replace) {
    const int dir = handle_->fd.Get();
    constexpr int kCreateNew = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    UniqueFd file(::openat(dir, name.c_str(), kCreateNew, 0666));
    if (!file.IsValid() && errno == EEXIST) {
        struct stat status {};
        RefuseExisting(PathOf(name), replace,
                       ::fstatat(dir, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                           S_ISREG(status.st_mode));
        // Removing the name first means a hard link to another file loses only this name,
        // and O_EXCL again makes sure nothing planted meanwhile is written through.
        if (::unlinkat(dir, name.c_str(), 0) == 0 || errno == ENOENT) {
            file.Reset(::openat(dir, name.c_str(), kCreateNew, 0666));
        }
    }
    if (!file.IsValid()) {
        throw nv::Error("Cannot create \"" + PathOf(name) + "\": " + std::strerror(errno) + ".");
    }
    return std::make_unique<FdOutputFile>(std::move(file), PathOf(name));
}

std::optional<bool> IsRegularFileAt(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return S_ISREG(status.st_mode);
}

StagedOutput::StagedOutput(std::string path) : path_(std::move(path)) {
    // A new file made beside the output takes the old output's permissions.
    struct stat old {};
    const bool replaces = ::stat(path_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    UniqueFd file;
    for (int attempt = 0; attempt < 100 && !file.IsValid(); ++attempt) {
        temporary_ = path_ + ".nvpack-" + std::to_string(::getpid()) + "-" +
                     std::to_string(attempt) + ".tmp";
        file.Reset(
            ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!file.IsValid() && errno != EEXIST) {
            break;
        }
    }
    if (!file.IsValid()) {
        throw nv::Error("output \"" + path_ + "\": cannot create a new file beside it (" +
                        std::strerror(errno) + ").");
    }
    if (replaces) {
        (void)::fchmod(file.Get(), old.st_mode & 07777);
    }
    file_ = std::make_unique<FdOutputFile>(std::move(file), temporary_);
}

void StagedOutput::Commit() {
    file_.reset();
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
        throw nv::Error("output \"" + path_ + "\": cannot be replaced (" + std::strerror(errno) +
                        "); it is unchanged.");
    }
    committed_ = true;
}

}  // namespace nvpack
