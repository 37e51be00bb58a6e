// Starting programs, special folders and shortcut files through the shell.

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <vector>

#include "host/win32/account_sids.h"
#include "host/win32/delete_through.h"
#include "host/win32/desktop_shell.h"
#include "host/win32/final_path.h"
#include "host/win32/win32_host.h"
#include "win32/unique_handle.h"

namespace nv::host {
namespace {

// Removes what has the name `path` when it is the file that name is expected to be: opened as
// itself (a link is not followed) and deleted through the handle that was checked, only when
// the file system names it `path` (no junction on the way leads elsewhere). True when nothing
// has the name afterwards.
bool RemoveExisting(const std::wstring& wide, const std::string& path) {
    UniqueFileHandle existing(::CreateFileW(
        wide.c_str(), DELETE | FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!existing) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(existing.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        !HandleIsNamed(existing.Get(), path)) {
        return false;
    }
    return DeleteThrough(existing.Get());
}

// The shortcut's bytes, as the shell-link object writes them into a stream.
std::vector<char> ShortcutBytes(IShellLinkA* link) {
    UniqueCom<IPersistStream> persist;
    UniqueCom<IStream> stream;
    if (FAILED(link->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(persist.Put()))) ||
        FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put())) ||
        FAILED(persist.Get()->Save(stream.Get(), TRUE))) {
        return {};
    }
    HGLOBAL memory = nullptr;
    STATSTG status{};
    if (FAILED(::GetHGlobalFromStream(stream.Get(), &memory)) ||
        FAILED(stream.Get()->Stat(&status, STATFLAG_NONAME))) {
        return {};
    }
    const auto size = static_cast<std::size_t>(status.cbSize.QuadPart);
    const void* bytes = ::GlobalLock(memory);
    if (bytes == nullptr) {
        return {};
    }
    std::vector<char> copy(static_cast<const char*>(bytes), static_cast<const char*>(bytes) + size);
    ::GlobalUnlock(memory);
    return copy;
}

// Writes `bytes` as a new file at `path`, made without following a link and only kept when
// the file system names the new file `path`; false otherwise, and then no file stays.
bool WriteNewFile(const std::wstring& wide, const std::string& path,
                  const std::vector<char>& bytes) {
    UniqueFileHandle file(::CreateFileW(
        wide.c_str(), GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
        CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    if (!HandleIsNamed(file.Get(), path) ||
        !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) ||
        written != bytes.size()) {
        DeleteThrough(file.Get());
        return false;
    }
    return true;
}

}  // namespace

bool DirectStartAllowed(bool elevated, bool underWine) {
    return !elevated || underWine;
}

bool Win32Host::ShellOpen(void* owner, const std::string& file, const std::string& folder) {
    // An elevated setup must not start the product elevated: the desktop shell starts it as
    // the user it runs for. Where there is no such shell, the setup starts it itself only when
    // that gives the product no more rights than the user has.
    if (OpenThroughDesktopShell(file, folder)) {
        return true;
    }
    if (!DirectStartAllowed(IsProcessElevated(), RunsUnderWine())) {
        return false;
    }
    HINSTANCE result = ::ShellExecuteA(static_cast<HWND>(owner), "open", file.c_str(), nullptr,
                                       folder.c_str(), SW_SHOW);
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string Win32Host::SpecialFolderPath(int csidl) {
    UniqueIdList list;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, list.Put())) || !list) {
        return {};
    }
    char path[MAX_PATH + 1] = {};
    if (!::SHGetPathFromIDListA(list.Get(), path)) {
        return {};
    }
    return path;
}

bool Win32Host::SaveShellLink(const ShellLinkFields& fields, const std::string& linkFile) {
    UniqueCom<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(link.Put())))) {
        return false;
    }
    // The setters' results are not looked at: a field the shell refuses stays empty.
    link.Get()->SetPath(fields.path.c_str());
    link.Get()->SetDescription(fields.description.c_str());
    link.Get()->SetWorkingDirectory(fields.workingDirectory.c_str());
    link.Get()->SetIconLocation(fields.iconPath.c_str(), fields.iconIndex);

    // The bytes are written by this program into a file it makes new, never through a link or
    // a junction that an unelevated program put at the name or on its way; a failed save (a
    // missing folder, say) is not reported.
    const std::vector<char> bytes = ShortcutBytes(link.Get());
    if (bytes.empty()) {
        return false;
    }
    const std::wstring wide = WideFromAnsiStrictly(linkFile);
    if (!wide.empty() && RemoveExisting(wide, linkFile) && WriteNewFile(wide, linkFile, bytes)) {
        ::SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW, wide.c_str(), nullptr);
    }
    return true;
}

}  // namespace nv::host
