// Starting programs, special folders and shortcut files through the shell.

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <vector>

#include "host/win32/desktop_shell.h"
#include "host/win32/unique_handle.h"
#include "host/win32/win32_host.h"

namespace nv::host {
namespace {

// The link file's name in UTF-16, converted from the ANSI code page.
std::wstring WideFromAnsi(const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return std::wstring(wide.data());
}

}  // namespace

bool Win32Host::ShellOpen(void* owner, const std::string& file, const std::string& folder) {
    // An elevated setup must not start the product elevated: the desktop shell starts it as
    // the user it runs for. Where there is no such shell, the setup starts it itself.
    if (OpenThroughDesktopShell(file, folder)) {
        return true;
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

    UniqueCom<IPersistFile> file;
    if (FAILED(
            link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())))) {
        return false;
    }
    // Handed to the shell; a failed save (a missing folder, say) is not reported.
    file.Get()->Save(WideFromAnsi(linkFile).c_str(), TRUE);
    return true;
}

}  // namespace nv::host
