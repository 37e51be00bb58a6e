// Files, folders, the current folder and initialisation files on Windows.

#include <windows.h>

#include <vector>

#include "host/host_errors.h"
#include "host/win32/unique_handle.h"
#include "host/win32/win32_host.h"

namespace nv::host {
namespace {

// ReadFile and WriteFile take a 32-bit count; larger requests go in pieces of this size.
constexpr std::size_t kMaxIoPiece = 1U << 30;
// GetPrivateProfileString reads into a buffer of this size.
constexpr DWORD kProfileBuffer = 2048;

class Win32FileStream final : public FileStream {
public:
    Win32FileStream(std::string path, UniqueFileHandle file)
        : FileStream(std::move(path)), file_(std::move(file)) {}

    std::uint64_t Size() override {
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(file_.Get(), &size)) {
            throw FileReadError(Path());
        }
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    void Seek(std::uint64_t offset) override {
        LARGE_INTEGER to{};
        to.QuadPart = static_cast<LONGLONG>(offset);
        if (!::SetFilePointerEx(file_.Get(), to, nullptr, FILE_BEGIN)) {
            throw FileSeekError(Path());
        }
    }

    std::size_t Read(void* buffer, std::size_t count) override {
        auto* bytes = static_cast<char*>(buffer);
        std::size_t total = 0;
        while (total < count) {
            const auto piece = static_cast<DWORD>(std::min(count - total, kMaxIoPiece));
            DWORD got = 0;
            if (!::ReadFile(file_.Get(), bytes + total, piece, &got, nullptr)) {
                throw FileReadError(Path());
            }
            total += got;
            if (got < piece) {
                break;  // end of file
            }
        }
        return total;
    }

    void Write(const void* data, std::size_t count) override {
        const auto* bytes = static_cast<const char*>(data);
        std::size_t total = 0;
        while (total < count) {
            const auto piece = static_cast<DWORD>(std::min(count - total, kMaxIoPiece));
            DWORD written = 0;
            if (!::WriteFile(file_.Get(), bytes + total, piece, &written, nullptr) ||
                written != piece) {
                throw FileWriteError(Path());
            }
            total += written;
        }
    }

    bool Eof() override {
        LARGE_INTEGER position{};
        if (!::SetFilePointerEx(file_.Get(), LARGE_INTEGER{}, &position, FILE_CURRENT)) {
            throw FileReadError(Path());
        }
        return static_cast<std::uint64_t>(position.QuadPart) >= Size();
    }

private:
    UniqueFileHandle file_;
};

// Reads a text whose length a Win32 call reports: `call(buffer, size)` returns the length
// copied, or a length of `size` or more when the buffer was too small.
template <typename Call>
std::string ReadGrowingText(Call call) {
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::string(buffer.data(), length);
        }
        buffer.resize(std::max<std::size_t>(buffer.size() * 2, length + 1));
    }
}

// Copies in pieces of this size, reporting progress after each.
constexpr DWORD kCopyPiece = 65536;

// Copies `source` to a new file `destination` piece by piece, calling `progress` after each
// piece, with the source's times and attributes. Fails when the destination exists. A
// destination left incomplete (by a failure or by an error `progress` raises) is deleted.
bool CopyWithProgress(const std::string& source, const std::string& destination,
                      const CopyProgress& progress) {
    UniqueFileHandle in(::CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesA(source.c_str());
    UniqueFileHandle out(::CreateFileA(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
        return false;
    }
    bool complete = false;
    try {
        std::vector<char> buffer(kCopyPiece);
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(in.Get(), buffer.data(), kCopyPiece, &got, nullptr)) {
                break;
            }
            DWORD written = 0;
            if (got > 0 && (!::WriteFile(out.Get(), buffer.data(), got, &written, nullptr) ||
                            written != got)) {
                break;
            }
            progress();
            if (got < kCopyPiece) {
                complete = true;
                break;
            }
        }
        FILETIME created{};
        FILETIME accessed{};
        FILETIME modified{};
        if (complete && ::GetFileTime(in.Get(), &created, &accessed, &modified)) {
            ::SetFileTime(out.Get(), &created, &accessed, &modified);
        }
    } catch (...) {
        out.Reset();
        ::DeleteFileA(destination.c_str());
        throw;
    }
    out.Reset();
    if (!complete) {
        ::DeleteFileA(destination.c_str());
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesA(destination.c_str(), attributes);
    }
    return true;
}

}  // namespace

std::string Win32Host::ExecutablePath() {
    return ReadGrowingText([](char* buffer, DWORD size) {
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer, size);
        return length >= size - 1 ? size : length;  // truncated: ask for more room
    });
}

std::unique_ptr<FileStream> Win32Host::OpenFileForReading(const std::string& path) {
    UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw FileOpenError(path);
    }
    return std::make_unique<Win32FileStream>(path, std::move(file));
}

std::unique_ptr<FileStream> Win32Host::CreateFileForWriting(const std::string& path) {
    // Whatever holds the name goes first (a link is removed, not followed); the new file is
    // then made only where the name is free, and a link that appears in between is not
    // followed either, so nothing is ever written through a link.
    ::DeleteFileA(path.c_str());
    UniqueFileHandle file(
        ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        throw FileCreateError(path);
    }
    return std::make_unique<Win32FileStream>(path, std::move(file));
}

bool Win32Host::FolderExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Host::DoCreateFolder(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32Host::DoRemoveFolder(const std::string& path) {
    return ::RemoveDirectoryA(path.c_str()) != FALSE;
}

bool Win32Host::SetCurrentFolder(const std::string& path) {
    return ::SetCurrentDirectoryA(path.c_str()) != FALSE;
}

std::string Win32Host::CurrentFolder() {
    return ReadGrowingText(
        [](char* buffer, DWORD size) { return ::GetCurrentDirectoryA(size, buffer); });
}

std::string Win32Host::FullPathOf(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    return ReadGrowingText([&](char* buffer, DWORD size) {
        return ::GetFullPathNameA(path.c_str(), size, buffer, nullptr);
    });
}

bool Win32Host::RemoveFile(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != FALSE;
}

bool Win32Host::DoCopyFile(const std::string& source, const std::string& destination,
                           const CopyProgress& progress) {
    if (!progress) {
        return ::CopyFileA(source.c_str(), destination.c_str(), TRUE) != FALSE;
    }
    return CopyWithProgress(source, destination, progress);
}

std::string Win32Host::DoReadProfileText(const std::string& file, const std::string& section,
                                         const std::string& key, const std::string& defaultValue) {
    std::vector<char> buffer(kProfileBuffer);
    const DWORD length =
        ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                   buffer.data(), kProfileBuffer, file.c_str());
    return std::string(buffer.data(), length);
}

bool Win32Host::DoWriteProfileText(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& value) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        file.c_str()) != FALSE;
}

}  // namespace nv::host
