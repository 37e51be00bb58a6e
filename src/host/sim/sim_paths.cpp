#include "host/sim/sim_paths.h"

#include <utility>
#include <vector>

#include "base/text.h"

namespace nv::host::sim {
namespace {

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char UpperDrive(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::vector<std::string> SplitComponents(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    for (const char c : text) {
        if (c == '\\') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

// Splits a path into its drive ("C:") and the rest, made absolute on that drive.
std::pair<std::string, std::string> AbsoluteOnDrive(const std::string& p,
                                                    const std::string& currentFolder) {
    const std::string currentDrive = currentFolder.substr(0, 2);
    const std::string currentRest = currentFolder.substr(2);
    if (p.size() >= 2 && p[1] == ':' && IsDriveLetter(p[0])) {
        const std::string drive = std::string(1, UpperDrive(p[0])) + ":";
        const std::string rest = p.substr(2);
        if (!rest.empty() && rest.front() == '\\') {
            return {drive, rest};
        }
        // "C:name" is relative to the current folder when that lies on drive C.
        const bool sameDrive = SameTextIgnoreCase(currentDrive, drive);
        return {drive, (sameDrive ? currentRest : std::string()) + "\\" + rest};
    }
    if (p.front() == '\\') {
        return {currentDrive, p};
    }
    return {currentDrive, currentRest + "\\" + p};
}

}  // namespace

std::optional<std::string> ResolvePath(const std::string& path, const std::string& currentFolder) {
    std::string p = path;
    for (char& c : p) {
        if (c == '/') {
            c = '\\';
        }
    }
    if (p.empty() || p.rfind(R"(\\)", 0) == 0) {
        return std::nullopt;
    }
    const auto [drive, rest] = AbsoluteOnDrive(p, currentFolder);

    std::vector<std::string> resolved;
    for (const std::string& part : SplitComponents(rest)) {
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!resolved.empty()) {
                resolved.pop_back();
            }
            continue;
        }
        resolved.push_back(part);
    }
    std::string full = drive;
    for (const std::string& part : resolved) {
        full += "\\" + part;
    }
    if (resolved.empty()) {
        full += "\\";
    }
    return full;
}

std::string PathKey(const std::string& fullPath) {
    return LowerCaseAscii(fullPath);
}

std::string ParentFolder(const std::string& fullPath) {
    if (fullPath.size() <= 3) {
        return {};
    }
    const std::size_t last = fullPath.rfind('\\');
    return last <= 2 ? fullPath.substr(0, 3) : fullPath.substr(0, last);
}

std::string LeafName(const std::string& fullPath) {
    const std::size_t last = fullPath.rfind('\\');
    return last == std::string::npos ? fullPath : fullPath.substr(last + 1);
}

bool IsAtOrBelow(const std::string& path, const std::string& folder) {
    const std::string p = PathKey(path);
    const std::string f = PathKey(folder);
    return p == f || p.rfind(WithTrailingBackslash(f), 0) == 0;
}

bool HasInvalidNameCharacter(const std::string& fullPath) {
    // The drive's colon is the only one allowed.
    for (std::size_t i = 2; i < fullPath.size(); ++i) {
        const auto c = static_cast<unsigned char>(fullPath[i]);
        if (c < 32 || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
            c == '|') {
            return true;
        }
    }
    return false;
}

}  // namespace nv::host::sim
