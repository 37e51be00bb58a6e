#include "host/win32/ansi_names.h"

#include <windows.h>

#include <climits>

#include "package/format.h"

namespace nv::host {

std::optional<std::u16string> CodePageToUtf16(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) {
        return std::u16string();
    }
    if (bytes.size() > INT_MAX) {
        return std::nullopt;
    }
    const int size = static_cast<int>(bytes.size());
    const int length =
        ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(),
                              length) != length) {
        return std::nullopt;
    }
    return std::u16string(wide.begin(), wide.end());
}

}  // namespace nv::host

namespace nv::package {

// Setup.exe and nvpack.exe create files through the ANSI calls, which convert with the
// process's ANSI code page.
std::optional<std::u16string> SystemNameToUtf16(std::string_view bytes) {
    return host::CodePageToUtf16(bytes, CP_ACP);
}

}  // namespace nv::package
