#include "name_encoding.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#ifdef _WIN32
#include <windows.h>

#include "host/win32/ansi_names.h"
#else
#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#endif

namespace nvpack {
namespace {

bool IsAscii(std::string_view text) {
    return std::ranges::all_of(text, [](char c) { return static_cast<unsigned char>(c) <= 127; });
}

#ifdef _WIN32

constexpr UINT kWindows1252 = 1252;

UINT SystemEncoding() {
    return ::GetACP();
}

std::optional<std::string> Convert(const std::string& text, UINT from, UINT to) {
    if (from == to) {
        return text;
    }
    const std::optional<std::u16string> utf16 = nv::host::CodePageToUtf16(text, from);
    if (!utf16 || utf16->empty()) {
        return std::nullopt;
    }
    const std::wstring unicode(utf16->begin(), utf16->end());
    const int wide = static_cast<int>(unicode.size());
    BOOL defaulted = FALSE;
    const int bytes = ::WideCharToMultiByte(to, WC_NO_BEST_FIT_CHARS, unicode.data(), wide, nullptr,
                                            0, nullptr, &defaulted);
    if (bytes <= 0 || defaulted) {
        return std::nullopt;
    }
    std::string out(static_cast<std::size_t>(bytes), '\0');
    (void)::WideCharToMultiByte(to, WC_NO_BEST_FIT_CHARS, unicode.data(), wide, out.data(), bytes,
                                nullptr, &defaulted);
    return defaulted ? std::nullopt : std::optional<std::string>(out);
}

#else

constexpr char kWindows1252[] = "WINDOWS-1252";

// The locale's encoding, taken once from the environment.
const char* SystemEncoding() {
    static const std::string encoding = [] {
        (void)std::setlocale(LC_CTYPE, "");
        std::string name = nl_langinfo(CODESET);
        return name == "ANSI_X3.4-1968" || name == "ASCII" || name.empty() ? std::string("UTF-8")
                                                                           : name;
    }();
    return encoding.c_str();
}

std::optional<std::string> Convert(const std::string& text, const char* from, const char* to) {
    iconv_t converter = ::iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {  // NOLINT: iconv's failure value
        return std::nullopt;
    }
    std::string in = text;
    std::string out(text.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = ::iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    (void)::iconv_close(converter);
    // iconv counts characters it replaced in its result: only an exact conversion is taken.
    if (result != 0 || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

#endif

}  // namespace

std::optional<std::string> ToEntryName(const std::string& name) {
    return IsAscii(name) ? std::optional<std::string>(name)
                         : Convert(name, SystemEncoding(), kWindows1252);
}

std::optional<std::string> FromEntryName(const std::string& name) {
    return IsAscii(name) ? std::optional<std::string>(name)
                         : Convert(name, kWindows1252, SystemEncoding());
}

std::string ShownEntryName(const std::string& name) {
    if (auto shown = FromEntryName(name)) {
        return *shown;
    }
    std::string shown;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 127) {
            char escaped[5];
            (void)std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace nvpack
