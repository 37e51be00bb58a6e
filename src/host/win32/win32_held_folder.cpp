// Folders checked and then held open by handle on Windows: one folder (HoldSafeFolder) or every
// folder of a path from its drive root down (HoldSafePath).

#include <windows.h>

#include <vector>

#include "base/text.h"
#include "host/win32/account_sids.h"
#include "host/win32/delete_through.h"
#include "host/win32/final_path.h"
#include "host/win32/folder_trust.h"
#include "host/win32/relative_files.h"
#include "host/win32/win32_file_stream.h"
#include "host/win32/win32_host.h"
#include "win32/unique_handle.h"

namespace nv::host {
namespace {

std::string Narrow(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string narrow(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                          length, nullptr, nullptr);
    return narrow;
}

// The folder itself (a junction or link in its place is opened as what it is), for reading
// its access list and attributes and for naming files inside it, sharing reading and writing
// but not deletion: nobody can rename, delete or replace it while the handle is open. With
// `removable` the handle may also delete the folder. A drive's root (`root`) can be neither
// renamed nor replaced, so it is opened sharing everything (Wine's shell cannot look up its
// special folders while a root is held without sharing deletion).
UniqueFileHandle OpenFolderToHold(const std::wstring& path, bool removable, bool root = false) {
    const DWORD access =
        READ_CONTROL | FILE_READ_ATTRIBUTES | FILE_TRAVERSE | (removable ? DELETE : 0);
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | (root ? FILE_SHARE_DELETE : 0);
    return UniqueFileHandle(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                          nullptr));
}

// Opens a folder to hold, removable where nobody else prevents that; `removable` tells which.
UniqueFileHandle OpenFolderToHold(const std::wstring& path, bool* removable) {
    UniqueFileHandle folder = OpenFolderToHold(path, true);
    *removable = true;
    if (!folder && ::GetLastError() == ERROR_SHARING_VIOLATION) {
        // Someone holds the folder without sharing deletion (a process's current folder, for
        // one): it cannot be removed meanwhile, but it can still be checked and held.
        folder = OpenFolderToHold(path, false);
        *removable = false;
    }
    return folder;
}

// One folder held, with the folders above it when the whole path was checked (those are
// held only so that nobody can rename or replace them meanwhile).
class Win32HeldFolder final : public HeldFolder {
public:
    Win32HeldFolder(std::string path, UniqueFileHandle folder, bool removable,
                    std::vector<UniqueFileHandle> above = {})
        : HeldFolder(std::move(path)),
          above_(std::move(above)),
          folder_(std::move(folder)),
          removable_(removable) {}

    std::string FinalPath() override { return Narrow(WideFinalPath()); }

    bool Names(const std::string& path) override {
        return folder_ && HandleIsNamed(folder_.Get(), path);
    }

    bool OnLocalDiskWithAccessLists() override {
        const std::wstring path = WideFinalPath();
        if (path.empty()) {
            return false;
        }
        wchar_t root[MAX_PATH + 1] = {};
        if (!::GetVolumePathNameW((path + L'\\').c_str(), root, MAX_PATH + 1)) {
            return false;
        }
        DWORD flags = 0;
        return ::GetDriveTypeW(root) == DRIVE_FIXED &&
               ::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
               (flags & FILE_PERSISTENT_ACLS) != 0;
    }

    std::unique_ptr<FileStream> CreateFileInside(const std::string& name) override {
        const std::string path = Path() + '\\' + name;
        const std::wstring wide = WideFromAnsiStrictly(name);
        UniqueFileHandle file;
        if (folder_ && !wide.empty()) {
            RemoveInside(folder_.Get(), wide);  // a name still taken fails the creation
            file = CreateNewFileInside(folder_.Get(), wide);
        }
        if (!file) {
            throw Error(ErrorKind::kCreateFailed, path, ::GetLastError());
        }
        return MakeWin32FileStream(path, std::move(file), true);
    }

    bool RemoveIfEmpty() override {
        if (!folder_ || !removable_) {
            return false;
        }
        // Refused while the folder holds anything; the hold then goes on.
        if (!DeleteThrough(folder_.Get())) {
            return false;
        }
        folder_.Reset();
        return true;
    }

private:
    // The path the file system gives the held folder, in UTF-16.
    std::wstring WideFinalPath() { return folder_ ? FinalPathOf(folder_.Get(), Path()) : L""; }

    std::vector<UniqueFileHandle> above_;
    UniqueFileHandle folder_;
    bool removable_;
};

// The folders of a full path from its drive's root down ("C:\", "C:\a", "C:\a\b"); nothing
// for a path that is not a full drive path.
std::vector<std::wstring> FoldersOnTheWay(const std::wstring& path) {
    std::vector<std::wstring> folders;
    if (path.size() < 3 || path[1] != L':' || path[2] != L'\\') {
        return folders;
    }
    folders.push_back(path.substr(0, 3));
    for (std::size_t at = 3; at < path.size();) {
        std::size_t end = path.find(L'\\', at);
        if (end == std::wstring::npos) {
            end = path.size();
        }
        if (end > at) {
            folders.push_back(path.substr(0, end));
        }
        at = end + 1;
    }
    return folders;
}

}  // namespace

std::unique_ptr<HeldFolder> Win32Host::HoldSafeFolder(const std::string& path) {
    bool removable = false;
    UniqueFileHandle folder = OpenFolderToHold(WideFromAnsiStrictly(path), &removable);
    TrustedWriters writers;
    if (!folder || !writers.LoadForThisProcess() ||
        !IsTrustedFolder(folder.Get(), writers, FolderRole::kWrittenInto)) {
        return nullptr;
    }
    return std::make_unique<Win32HeldFolder>(path, std::move(folder), removable);
}

std::unique_ptr<HeldFolder> Win32Host::HoldSafePath(const std::string& path, PathEnd end) {
    const std::vector<std::wstring> folders =
        FoldersOnTheWay(FullWidePath(WideFromAnsiStrictly(path)));
    TrustedWriters writers;
    if (folders.empty() || !writers.LoadForThisProcess()) {
        return nullptr;
    }
    // Each folder is opened as itself and checked while every folder above it is held, so
    // the next name is looked up only inside folders that can no longer change.
    std::vector<UniqueFileHandle> above;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const bool last = i + 1 == folders.size();
        bool removable = false;
        UniqueFileHandle folder = i == 0 ? OpenFolderToHold(folders[i], false, true)
                                         : OpenFolderToHold(folders[i], &removable);
        const FolderRole role = last && end == PathEnd::kWrittenInto ? FolderRole::kWrittenInto
                                : i == 0                             ? FolderRole::kRootAbove
                                                                     : FolderRole::kAbove;
        if (!folder || !IsTrustedFolder(folder.Get(), writers, role)) {
            return nullptr;
        }
        if (!last) {
            if (i > 0) {
                above.push_back(std::move(folder));  // the root needs no hold
            }
            continue;
        }
        auto held =
            std::make_unique<Win32HeldFolder>(path, std::move(folder), removable, std::move(above));
        if (!held->Names(path) || !held->OnLocalDiskWithAccessLists()) {
            return nullptr;
        }
        return held;
    }
    return nullptr;
}

}  // namespace nv::host
