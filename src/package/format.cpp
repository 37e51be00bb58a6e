#include "package/format.h"

#include <algorithm>
#include <array>

namespace nv::package {
namespace {

char16_t ToUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// Compares ignoring the case of A to Z, the letters of every name compared here; other
// letters are never folded into them.
bool EqualsIgnoringCase(std::u16string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char16_t x, char y) {
        return ToUpper(x) == ToUpper(static_cast<char16_t>(y));
    });
}

bool IsReservedDeviceName(std::u16string_view name) {
    // Windows treats "CON", "con.txt" and "CON .txt" alike: the part before the first dot,
    // with trailing blanks removed, decides.
    std::u16string_view base = name.substr(0, name.find(u'.'));
    while (!base.empty() && base.back() == u' ') {
        base.remove_suffix(1);
    }
    static constexpr std::array<std::string_view, 7> kPlain = {"CON",    "PRN",     "AUX",   "NUL",
                                                               "CONIN$", "CONOUT$", "CLOCK$"};
    for (const auto reserved : kPlain) {
        if (EqualsIgnoringCase(base, reserved)) {
            return true;
        }
    }
    if (base.size() == 4 && (EqualsIgnoringCase(base.substr(0, 3), "COM") ||
                             EqualsIgnoringCase(base.substr(0, 3), "LPT"))) {
        // COM0 to COM9, and the superscript digits one to three, which Windows also takes for
        // port numbers.
        const char16_t port = base[3];
        return (port >= u'0' && port <= u'9') || port == u'\u00B9' || port == u'\u00B2' ||
               port == u'\u00B3';
    }
    return false;
}

bool IsPlainName(std::u16string_view name) {
    if (name.empty()) {
        return false;
    }
    for (const char16_t c : name) {
        if (c < 32 || c == 127 ||
            std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) {
            return false;
        }
    }
    if (name.back() == u'.' || name.back() == u' ') {
        return false;  // also covers "." and ".."
    }
    return !IsReservedDeviceName(name) && !EqualsIgnoringCase(name, kCompressedPackageName) &&
           !EqualsIgnoringCase(name, kDecompressedPackageName);
}

// The characters of Windows-1252's bytes 0x80 to 0x9F; every other byte is its own character.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::optional<std::u16string> Windows1252ToUtf16(std::string_view bytes) {
    std::u16string wide(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        wide[i] = byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80]
                                               : static_cast<char16_t>(byte);
    }
    return wide;
}

#ifndef _WIN32
std::optional<std::u16string> SystemNameToUtf16(std::string_view bytes) {
    return Windows1252ToUtf16(bytes);
}
#endif

bool IsPlainEntryName(std::string_view name, const NameConverter& toUtf16) {
    if (name.empty() || name.size() > kMaxNameLength) {
        return false;
    }
    const std::optional<std::u16string> wide = toUtf16(name);
    return wide && IsPlainName(*wide);
}

}  // namespace nv::package
