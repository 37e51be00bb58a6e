#include "host/win32/relative_files.h"

#include "host/win32/delete_through.h"
#include "win32/native_files.h"

namespace nv::host {
namespace {

constexpr NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034);

bool IsPlainName(const std::wstring& name) {
    return !name.empty() && name.find_first_of(L"\\/:") == std::wstring::npos && name != L"." &&
           name != L"..";
}

}  // namespace

UniqueFileHandle CreateNewFileInside(HANDLE folder, const std::wstring& name) {
    if (!IsPlainName(name)) {
        ::SetLastError(ERROR_INVALID_NAME);
        return UniqueFileHandle();
    }
    return OpenRelative(folder, name, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                        FILE_CREATE, FILE_NON_DIRECTORY_FILE);
}

bool RemoveInside(HANDLE folder, const std::wstring& name) {
    if (!IsPlainName(name)) {
        return false;
    }
    NTSTATUS status = 0;
    const UniqueFileHandle file =
        OpenRelative(folder, name, DELETE | FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
                     FILE_NON_DIRECTORY_FILE, &status);
    if (!file) {
        return status == kNameNotFound;
    }
    return DeleteThrough(file.Get());
}

}  // namespace nv::host
