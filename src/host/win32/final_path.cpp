#include "host/win32/final_path.h"

#include "host/win32/ansi_names.h"
#include "host/win32/growing_text.h"

namespace nv::host {
namespace {

// Calls that the system has from Vista on, looked up where they exist.
using GetFinalPathFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
using CompareOrdinalFn = int(WINAPI*)(LPCWSTR, int, LPCWSTR, int, BOOL);

template <typename Fn>
Fn KernelCall(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), name)));
}

// "\\?\C:\x" names C:\x and "\\?\UNC\server\share" names \\server\share; trailing backslashes
// go, except the one of a drive's root.
std::wstring Plain(std::wstring path) {
    const std::wstring longPrefix = L"\\\\?\\";
    const std::wstring uncPrefix = longPrefix + L"UNC\\";
    if (path.compare(0, uncPrefix.size(), uncPrefix) == 0) {
        path = L"\\\\" + path.substr(uncPrefix.size());
    } else if (path.compare(0, longPrefix.size(), longPrefix) == 0) {
        path = path.substr(longPrefix.size());
    }
    while (path.size() > 3 && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

// Names equal as the file system compares them: ordinally, ignoring case.
bool SameName(const std::wstring& a, const std::wstring& b) {
    static const auto compare = KernelCall<CompareOrdinalFn>("CompareStringOrdinal");
    if (compare != nullptr) {
        return compare(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                       TRUE) == CSTR_EQUAL;
    }
    std::wstring upperA = a;
    std::wstring upperB = b;
    ::CharUpperBuffW(upperA.data(), static_cast<DWORD>(upperA.size()));
    ::CharUpperBuffW(upperB.data(), static_cast<DWORD>(upperB.size()));
    return upperA == upperB;
}

}  // namespace

std::wstring WideFromAnsiStrictly(const std::string& text) {
    const std::optional<std::u16string> wide = CodePageToUtf16(text, CP_ACP);
    return wide ? std::wstring(wide->begin(), wide->end()) : std::wstring();
}

std::wstring FullWidePath(const std::wstring& path) {
    return path.empty() ? std::wstring()
                        : ReadGrowingText<wchar_t>([&](wchar_t* buffer, DWORD size) {
                              return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr);
                          });
}

std::wstring FinalPathOf(HANDLE handle, const std::string& openedAs) {
    static const auto call = KernelCall<GetFinalPathFn>("GetFinalPathNameByHandleW");
    if (call == nullptr) {
        return Plain(FullWidePath(WideFromAnsiStrictly(openedAs)));
    }
    return Plain(ReadGrowingText<wchar_t>([&](wchar_t* buffer, DWORD size) {
        return call(handle, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }));
}

bool HandleIsNamed(HANDLE handle, const std::string& path) {
    std::wstring wanted = FullWidePath(WideFromAnsiStrictly(path));
    if (const std::wstring longName =
            wanted.empty() ? std::wstring()
                           : ReadGrowingText<wchar_t>([&](wchar_t* buffer, DWORD size) {
                                 return ::GetLongPathNameW(wanted.c_str(), buffer, size);
                             });
        !longName.empty()) {
        wanted = longName;
    }
    const std::wstring finalPath = FinalPathOf(handle, path);
    return !finalPath.empty() && !wanted.empty() && SameName(finalPath, Plain(wanted));
}

}  // namespace nv::host
