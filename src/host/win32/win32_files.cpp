// Files, folders, the current folder and initialisation files on Windows.

#include <windows.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "host/win32/delete_through.h"
#include "host/win32/final_path.h"
#include "host/win32/folder_protection.h"
#include "host/win32/growing_text.h"
#include "host/win32/win32_file_stream.h"
#include "host/win32/win32_host.h"
#include "win32/unique_handle.h"

namespace nv::host {
namespace {

// ReadFile and WriteFile take a 32-bit count; larger requests go in pieces of this size.
constexpr std::size_t kMaxIoPiece = 1U << 30;
// GetPrivateProfileString reads into a buffer of this size.
constexpr DWORD kProfileBuffer = 2048;

class Win32FileStream final : public FileStream {
public:
    // `removable`: the handle was opened with DELETE access.
    Win32FileStream(std::string path, UniqueFileHandle file, bool removable)
        : FileStream(std::move(path)), file_(std::move(file)), removable_(removable) {}

    std::uint64_t Size() override {
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(file_.Get(), &size)) {
            throw Error(ErrorKind::kReadFailed, Path(), ::GetLastError());
        }
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    void Seek(std::uint64_t offset) override {
        LARGE_INTEGER to{};
        to.QuadPart = static_cast<LONGLONG>(offset);
        if (!::SetFilePointerEx(file_.Get(), to, nullptr, FILE_BEGIN)) {
            throw Error(ErrorKind::kSeekFailed, Path(), ::GetLastError());
        }
    }

    std::size_t Read(void* buffer, std::size_t count) override {
        auto* bytes = static_cast<char*>(buffer);
        std::size_t total = 0;
        while (total < count) {
            const auto piece = static_cast<DWORD>(std::min(count - total, kMaxIoPiece));
            DWORD got = 0;
            if (!::ReadFile(file_.Get(), bytes + total, piece, &got, nullptr)) {
                throw Error(ErrorKind::kReadFailed, Path(), ::GetLastError());
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
                throw Error(ErrorKind::kWriteFailed, Path(), ::GetLastError());
            }
            total += written;
        }
    }

    bool Remove() override {
        if (!removable_ || !file_) {
            return false;
        }
        const bool removed = DeleteThrough(file_.Get());
        file_.Reset();
        return removed;
    }

private:
    UniqueFileHandle file_;
    bool removable_;
};

// True when the name in `path` (after its folder part) ends in ".lnk" with something before.
bool HasShortcutExtension(std::string_view path) {
    constexpr std::string_view kExtension = ".lnk";
    return path.size() > FolderPart(path).size() + kExtension.size() &&
           SameTextIgnoreCase(path.substr(path.size() - kExtension.size()), kExtension);
}

// The running executable's module path in UTF-16: the ANSI form of a path with characters
// outside the code page can name another file.
std::wstring WideModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size() - 1) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::unique_ptr<FileStream> MakeWin32FileStream(std::string path, UniqueFileHandle file,
                                                bool removable) {
    return std::make_unique<Win32FileStream>(std::move(path), std::move(file), removable);
}

Win32Host::Win32Host() {
    // Reading only, sharing reading only: while this handle is open nobody can write to the
    // file, rename it or delete it, so the payload read later is the one that was started.
    const std::wstring path = WideModulePath();
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!path.empty() && file) {
        executable_ = std::make_unique<Win32FileStream>(ExecutablePath(), std::move(file), false);
    }
}

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
        throw Error(ErrorKind::kOpenFailed, path, ::GetLastError());
    }
    return std::make_unique<Win32FileStream>(path, std::move(file), false);
}

std::unique_ptr<FileStream> Win32Host::CreateFileForWriting(const std::string& path) {
    // Whatever holds the name goes first (a link is removed, not followed); the new file is
    // then made only where the name is free, and a link that appears in between is not
    // followed either, so nothing is ever written through a link.
    ::DeleteFileA(path.c_str());
    std::unique_ptr<FileStream> file = CreateNewFile(path);
    if (!file) {
        throw Error(ErrorKind::kCreateFailed, path, ::GetLastError());
    }
    return file;
}

std::unique_ptr<FileStream> Win32Host::CreateNewFile(const std::string& path) {
    // For reading, writing and deleting through the handle, sharing reading only. A link that
    // takes the name meanwhile is not followed.
    UniqueFileHandle file(
        ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return file ? std::make_unique<Win32FileStream>(path, std::move(file), true) : nullptr;
}

bool Win32Host::FolderExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Host::DoCreateFolder(const std::string& path, FolderProtection protection) {
    return CreateFolderWithProtection(path, protection);
}

bool Win32Host::DoRemoveFolder(const std::string& path) {
    return ::RemoveDirectoryA(path.c_str()) != FALSE;
}

unsigned long Win32Host::LastFailureCode() {
    return ::GetLastError();
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

FolderContent Win32Host::ListFolder(const std::string& folder) {
    FolderContent content;
    WIN32_FIND_DATAA entry;
    UniqueFindHandle find(::FindFirstFileA((WithTrailingBackslash(folder) + "*").c_str(), &entry));
    if (!find) {
        return content;
    }
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == ".." ||
            (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
            continue;
        }
        ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? content.folders : content.files)
            .push_back(name);
    } while (::FindNextFileA(find.Get(), &entry));
    for (std::vector<std::string>* names : {&content.folders, &content.files}) {
        std::sort(names->begin(), names->end(), [](const std::string& a, const std::string& b) {
            return ::lstrcmpiA(a.c_str(), b.c_str()) < 0;
        });
    }
    return content;
}

std::vector<std::string> Win32Host::LogicalDrives() {
    std::vector<std::string> drives;
    const DWORD mask = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((mask & (1U << i)) != 0) {
            drives.push_back(std::string(1, static_cast<char>('a' + i)) + ":\\");
        }
    }
    return drives;
}

bool Win32Host::RemoveFile(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != FALSE;
}

bool Win32Host::ScheduleRemovalAtRestart(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
           ::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool Win32Host::RemoveShortcutFile(const std::string& path) {
    if (!HasShortcutExtension(path)) {
        return false;
    }
    // Opened as itself (a link is not followed) and judged on the handle it is deleted
    // through, so what was judged is what goes: a regular file that the file system names
    // `path` (no junction on the way leads elsewhere).
    UniqueFileHandle file(::CreateFileA(
        path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !::GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        !HandleIsNamed(file.Get(), path)) {
        return false;
    }
    return DeleteThrough(file.Get());
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
