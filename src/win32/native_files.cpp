#include "win32/native_files.h"

#include <cstddef>
#include <vector>

namespace nv {
namespace {

constexpr NTSTATUS kNotImplemented = static_cast<NTSTATUS>(0xC0000002);

using NtCreateFileFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                        PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
using NtSetInformationFileFn = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG,
                                                FILE_INFORMATION_CLASS);
using StatusToErrorFn = ULONG(NTAPI*)(NTSTATUS);

template <typename Fn>
Fn NativeCall(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), name)));
}

// Sets the Windows error for a failed native call; false.
bool Failed(NTSTATUS status) {
    static const auto toError = NativeCall<StatusToErrorFn>("RtlNtStatusToDosError");
    ::SetLastError(toError != nullptr ? toError(status) : ERROR_CALL_NOT_IMPLEMENTED);
    return false;
}

}  // namespace

UniqueFileHandle OpenRelative(HANDLE root, const std::wstring& name, ACCESS_MASK access,
                              ULONG share, ULONG disposition, ULONG options, NTSTATUS* status) {
    UNICODE_STRING text{};
    text.Buffer = const_cast<wchar_t*>(name.c_str());
    text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes{};
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, root, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE file = INVALID_HANDLE_VALUE;
    static const auto create = NativeCall<NtCreateFileFn>("NtCreateFile");
    const NTSTATUS result =
        create == nullptr
            ? kNotImplemented
            : create(&file, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL,
                     share, disposition,
                     options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT, nullptr, 0);
    if (status != nullptr) {
        *status = result;
    }
    if (!NT_SUCCESS(result)) {
        Failed(result);
        return UniqueFileHandle();
    }
    return UniqueFileHandle(file);
}

bool RenameRelative(HANDLE file, HANDLE root, const std::wstring& name) {
    std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFORMATION, FileName) +
                                      name.size() * sizeof(WCHAR));
    auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = root;
    rename->FileNameLength = static_cast<ULONG>(name.size() * sizeof(WCHAR));
    name.copy(rename->FileName, name.size());
    IO_STATUS_BLOCK io{};
    static const auto setInformation = NativeCall<NtSetInformationFileFn>("NtSetInformationFile");
    const NTSTATUS result =
        setInformation == nullptr
            ? kNotImplemented
            : setInformation(file, &io, rename, static_cast<ULONG>(buffer.size()),
                             FileRenameInformation);
    return NT_SUCCESS(result) || Failed(result);
}

}  // namespace nv
