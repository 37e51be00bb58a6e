// OutputFolder on Windows: the folder is opened as itself (a junction or symbolic link is seen,
// not followed) and held without delete sharing, so it cannot be renamed or replaced while
// files are written into it. Every file is named relative to that held handle, never by a path:
// a folder turned into a mount point, or a new folder put at its name, cannot redirect them.
// Each file is made with FILE_CREATE, which never opens an existing name, link or not, and
// --force replaces a regular file by renaming a new one over it, the target again named
// relative to the held folder. The ANSI and wide file calls take no folder handle, so the
// native calls do it.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "base/error.h"
#include "host/win32/ansi_names.h"
#include "output_folder.h"
#include "win32/native_files.h"
#include "win32/unique_handle.h"

namespace nvpack {
namespace {

using nv::OpenRelative;
using nv::UniqueFileHandle;

std::string LastErrorText() {
    return "Windows error " + std::to_string(::GetLastError());
}

class HandleOutputFile : public nv::FileStream {
public:
    HandleOutputFile(UniqueFileHandle file, std::string path)
        : file_(std::move(file)), path_(std::move(path)) {}

    void Write(const void* data, std::size_t count) override {
        const auto* bytes = static_cast<const unsigned char*>(data);
        while (count > 0 && file_) {
            const DWORD piece = count > 0x10000000 ? 0x10000000 : static_cast<DWORD>(count);
            DWORD written = 0;
            if (!::WriteFile(file_.Get(), bytes, piece, &written, nullptr) || written == 0) {
                break;
            }
            bytes += written;
            count -= written;
        }
        if (count > 0 || !file_) {
            throw nv::Error(nv::ErrorKind::kWriteFailed, path_);
        }
    }

    void Close() override {
        if (!file_ || ::CloseHandle(file_.Release()) == FALSE) {
            throw nv::Error(nv::ErrorKind::kWriteFailed, path_);
        }
    }

private:
    UniqueFileHandle file_;
    std::string path_;
};

// `name` as the ANSI file calls would read it; the entry reader let only names through that
// convert.
std::wstring WideName(const std::string& name) {
    const std::optional<std::u16string> wide = nv::host::CodePageToUtf16(name, CP_ACP);
    if (!wide) {
        throw nv::Error("\"" + name + "\" is not a valid name in this system's code page.");
    }
    return {wide->begin(), wide->end()};
}

bool IsReparsePointOrFolder(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return !::GetFileInformationByHandle(file, &info) ||
           (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY |
                                     FILE_ATTRIBUTE_DEVICE)) != 0 ||
           ::GetFileType(file) != FILE_TYPE_DISK;
}

// Makes a new file at `temporary` inside the folder `root` and renames it, through its handle,
// over the existing name `name` there. A rename replaces the name itself, never what a link
// there points to (deleting the name first would not do: Wine deletes a link's target).
// Returns the handle of the new file, or no handle when the rename failed; the temporary file
// is then deleted.
UniqueFileHandle ReplaceByRename(HANDLE root, const std::wstring& name,
                                 const std::wstring& temporary) {
    UniqueFileHandle file = OpenRelative(root, temporary, FILE_GENERIC_WRITE | DELETE,
                                         FILE_SHARE_READ, FILE_CREATE, FILE_NON_DIRECTORY_FILE);
    if (!file) {
        return file;
    }
    if (nv::RenameRelative(file.Get(), root, name)) {
        return file;
    }
    const DWORD error = ::GetLastError();
    FILE_DISPOSITION_INFO dispose{TRUE};  // its one member is named like a macro
    (void)::SetFileInformationByHandle(file.Get(), FileDispositionInfo, &dispose, sizeof dispose);
    file.Reset();
    ::SetLastError(error);
    return file;
}

}  // namespace

struct OutputFolder::Handle {
    UniqueFileHandle folder;
};

OutputFolder::OutputFolder(const std::string& path)
    : path_(WithoutTrailingSeparators(path)), handle_(std::make_unique<Handle>()) {
    std::error_code ignored;
    std::filesystem::create_directories(path_, ignored);  // opening below tells what is wrong
    // Read and write sharing only: while the handle is held the folder cannot be renamed,
    // deleted or swapped for a link.
    handle_->folder.Reset(::CreateFileA(path_.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr));
    if (!handle_->folder) {
        throw nv::Error("Cannot create or open the folder \"" + path_ + "\" (" + LastErrorText() +
                        ").");
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle_->folder.Get(), &info)) {
        throw nv::Error("Cannot read the folder \"" + path_ + "\" (" + LastErrorText() + ").");
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        throw nv::Error("The folder \"" + path_ +
                        "\" is a junction or symbolic link; extract writes only into a real "
                        "folder.");
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        throw nv::Error("\"" + path_ + "\" is not a folder.");
    }
}

OutputFolder::~OutputFolder() = default;

std::unique_ptr<nv::FileStream> OutputFolder::CreateNew(const std::string& name, bool replace) {
    const std::string path = PathOf(name);
    const HANDLE root = handle_->folder.Get();
    const std::wstring wide = WideName(name);
    UniqueFileHandle file = OpenRelative(root, wide, FILE_GENERIC_WRITE, FILE_SHARE_READ,
                                         FILE_CREATE, FILE_NON_DIRECTORY_FILE);
    const DWORD error = file ? ERROR_SUCCESS : ::GetLastError();
    if (!file && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)) {
        // The existing name is opened as itself (a link is not followed) to see what it is.
        UniqueFileHandle existing =
            OpenRelative(root, wide, FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN, 0);
        RefuseExisting(path, replace, existing && !IsReparsePointOrFolder(existing.Get()));
        existing.Reset();
        file = ReplaceByRename(
            root, wide, WideName("nvpack-" + std::to_string(::GetCurrentProcessId()) + ".tmp"));
    }
    if (!file) {
        throw nv::Error("Cannot create \"" + path + "\" (" + LastErrorText() + ").");
    }
    return std::make_unique<HandleOutputFile>(std::move(file), path);
}

std::optional<bool> IsRegularFileAt(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return (attributes &
            (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

StagedOutput::StagedOutput(std::string path) : path_(std::move(path)) {
    UniqueFileHandle file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temporary_ = path_ + ".nvpack-" + std::to_string(::GetCurrentProcessId()) + "-" +
                     std::to_string(attempt) + ".tmp";
        file.Reset(::CreateFileA(temporary_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && ::GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (!file) {
        throw nv::Error("output \"" + path_ + "\": cannot create a new file beside it (" +
                        LastErrorText() + ").");
    }
    file_ = std::make_unique<HandleOutputFile>(std::move(file), temporary_);
}

void StagedOutput::Commit() {
    file_.reset();
    if (!::MoveFileExA(temporary_.c_str(), path_.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throw nv::Error("output \"" + path_ + "\": cannot be replaced (" + LastErrorText() +
                        "; it may be in use); it is unchanged.");
    }
    committed_ = true;
}

}  // namespace nvpack
