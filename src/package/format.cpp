#include "package/format.h"

#include <array>

namespace nv::package {
namespace {

char ToUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToUpper(a[i]) != ToUpper(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsReservedDeviceName(std::string_view name) {
    // Windows treats "CON", "con.txt" and "CON .txt" alike: the part before the first dot,
    // with trailing blanks removed, decides.
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') {
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
        // COM0 to COM9, and the superscript digits one to three of the ANSI code page
        // (Windows-1252 0xB9, 0xB2, 0xB3), which Windows also takes for port numbers.
        const auto port = static_cast<unsigned char>(base[3]);
        return (port >= '0' && port <= '9') || port == 0xB9 || port == 0xB2 || port == 0xB3;
    }
    return false;
}

}  // namespace

bool IsPlainEntryName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength) {
        return false;
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte == 127 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            return false;
        }
    }
    if (name.back() == '.' || name.back() == ' ') {
        return false;  // also covers "." and ".."
    }
    return !IsReservedDeviceName(name) && !EqualsIgnoringCase(name, kCompressedPackageName) &&
           !EqualsIgnoringCase(name, kDecompressedPackageName);
}

}  // namespace nv::package
