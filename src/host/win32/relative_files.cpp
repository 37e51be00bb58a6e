#include "host/win32/relative_files.h"

#include <winternl.h>

#include "host/win32/delete_through.h"

namespace nv::host {
namespace {

// Values of the native file calls that winternl.h does not carry.
constexpr ULONG kFileOpen = 0x00000001;
constexpr ULONG kFileCreate = 0x00000002;
constexpr ULONG kNonDirectoryFile = 0x00000040;
constexpr ULONG kSynchronousIo = 0x00000020;
constexpr ULONG kOpenReparsePoint = 0x00200000;
constexpr NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034);

// The native calls, looked up in ntdll, which the system maps into every process before any
// of its code runs: the program imports nothing more for them.
using NtCreateFileFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                        PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
using StatusToErrorFn = ULONG(NTAPI*)(NTSTATUS);

template <typename Fn>
Fn NativeCall(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), name)));
}

// Opens `name` inside `folder` with the native call, the only one that names a file relative
// to an open folder.
UniqueFileHandle OpenInside(HANDLE folder, const std::wstring& name, ACCESS_MASK access,
                            ULONG share, ULONG disposition, NTSTATUS* status) {
    UNICODE_STRING text{};
    text.Buffer = const_cast<wchar_t*>(name.c_str());
    text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes{};
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE file = INVALID_HANDLE_VALUE;
    static const auto create = NativeCall<NtCreateFileFn>("NtCreateFile");
    static const auto toError = NativeCall<StatusToErrorFn>("RtlNtStatusToDosError");
    if (create == nullptr || toError == nullptr) {
        *status = static_cast<NTSTATUS>(0xC0000002);  // not implemented
        ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return UniqueFileHandle();
    }
    *status =
        create(&file, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share,
               disposition, kNonDirectoryFile | kSynchronousIo | kOpenReparsePoint, nullptr, 0);
    if (!NT_SUCCESS(*status)) {
        ::SetLastError(toError(*status));
        return UniqueFileHandle();
    }
    return UniqueFileHandle(file);
}

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
    NTSTATUS status = 0;
    return OpenInside(folder, name, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                      kFileCreate, &status);
}

bool RemoveInside(HANDLE folder, const std::wstring& name) {
    if (!IsPlainName(name)) {
        return false;
    }
    NTSTATUS status = 0;
    const UniqueFileHandle file =
        OpenInside(folder, name, DELETE | FILE_READ_ATTRIBUTES,
                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, kFileOpen, &status);
    if (!file) {
        return status == kNameNotFound;
    }
    bool ok = DeleteThrough(file.Get());
    return ok;
}

}  // namespace nv::host
