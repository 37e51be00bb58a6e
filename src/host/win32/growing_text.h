#pragma once
// Reads a text whose length a Win32 call reports, growing the buffer until the text fits.

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace nv::host {

// `call(buffer, size)` returns the length copied, or a length of `size` or more when the buffer
// was too small: the length needed (GetFinalPathNameByHandleA, GetFullPathNameA) or the size
// itself for a cut-off text (GetModuleFileNameA). Returns the text, or "" when the call fails.
// `Char` is wchar_t for the calls' W forms.
template <typename Char = char, typename Call>
std::basic_string<Char> ReadGrowingText(Call call) {
    std::vector<Char> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::basic_string<Char>(buffer.data(), length);
        }
        buffer.resize(std::max<std::size_t>(buffer.size() * 2, length + 1));
    }
}

}  // namespace nv::host
