// Folders checked and then held open by handle on Windows.

#include <windows.h>

#include "base/text.h"
#include "host/win32/delete_through.h"
#include "host/win32/folder_trust.h"
#include "host/win32/growing_text.h"
#include "host/win32/unique_handle.h"
#include "host/win32/win32_host.h"

namespace nv::host {
namespace {

// Where the system has it (Vista on), the path the file system gives an open handle.
using GetFinalPathFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);

GetFinalPathFn FinalPathCall() {
    static const auto call = reinterpret_cast<GetFinalPathFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    return call;
}

// "\\?\C:\x" names C:\x and "\\?\UNC\server\share" names \\server\share.
std::string WithoutLongPathPrefix(const std::string& path) {
    const std::string longPrefix = "\\\\?\\";
    const std::string uncPrefix = longPrefix + "UNC\\";
    if (path.compare(0, uncPrefix.size(), uncPrefix) == 0) {
        return "\\\\" + path.substr(uncPrefix.size());
    }
    if (path.compare(0, longPrefix.size(), longPrefix) == 0) {
        return path.substr(longPrefix.size());
    }
    return path;
}

// The folder itself (a junction or link in its place is opened as what it is), for reading
// its access list and attributes, sharing reading and writing but not deletion: nobody can
// rename, delete or replace it while the handle is open. With `removable` the handle may
// also delete the folder.
UniqueFileHandle OpenFolderToHold(const std::string& path, bool removable) {
    const DWORD access = READ_CONTROL | FILE_READ_ATTRIBUTES | (removable ? DELETE : 0);
    return UniqueFileHandle(::CreateFileA(
        path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

class Win32HeldFolder final : public HeldFolder {
public:
    Win32HeldFolder(std::string path, UniqueFileHandle folder, bool removable)
        : HeldFolder(std::move(path)), folder_(std::move(folder)), removable_(removable) {}

    std::string FinalPath() override {
        if (!folder_) {
            return {};
        }
        std::string path;
        if (const GetFinalPathFn call = FinalPathCall()) {
            path = WithoutLongPathPrefix(ReadGrowingText([&](char* buffer, DWORD size) {
                return call(folder_.Get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            }));
        } else {
            // Without the call, the path it was opened by: the hold keeps that name on it.
            path = ReadGrowingText([&](char* buffer, DWORD size) {
                return ::GetFullPathNameA(Path().c_str(), size, buffer, nullptr);
            });
        }
        return WithoutTrailingBackslashes(path);
    }

    bool OnLocalDiskWithAccessLists() override {
        const std::string path = FinalPath();
        if (path.empty()) {
            return false;
        }
        char root[MAX_PATH + 1] = {};
        if (!::GetVolumePathNameA((path + '\\').c_str(), root, sizeof root)) {
            return false;
        }
        DWORD flags = 0;
        return ::GetDriveTypeA(root) == DRIVE_FIXED &&
               ::GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
               (flags & FILE_PERSISTENT_ACLS) != 0;
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
    UniqueFileHandle folder_;
    bool removable_;
};

}  // namespace

std::unique_ptr<HeldFolder> Win32Host::HoldSafeFolder(const std::string& path) {
    UniqueFileHandle folder = OpenFolderToHold(path, true);
    bool removable = true;
    if (!folder && ::GetLastError() == ERROR_SHARING_VIOLATION) {
        // Someone holds the folder without sharing deletion (a process's current folder, for
        // one): it cannot be removed meanwhile, but it can still be checked and held.
        folder = OpenFolderToHold(path, false);
        removable = false;
    }
    if (!folder || !IsTrustedFolder(folder.Get())) {
        return nullptr;
    }
    return std::make_unique<Win32HeldFolder>(path, std::move(folder), removable);
}

}  // namespace nv::host
