#include "base/text.h"

#include <algorithm>

namespace nv {
namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsControlOrBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

bool SameTextIgnoreCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string LowerCaseAscii(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), LowerAscii);
    return result;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsControlOrBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsControlOrBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string FolderPart(std::string_view path) {
    const std::size_t last = path.find_last_of("\\:");
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string WithoutTrailingBackslashes(std::string_view path) {
    while (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

std::string WithTrailingBackslash(std::string_view path) {
    std::string result(path);
    if (result.empty() || result.back() != '\\') {
        result += '\\';
    }
    return result;
}

std::string ContainingFolder(std::string_view path) {
    std::string folder = WithoutTrailingBackslashes(FolderPart(path));
    if (!folder.empty() && folder.back() == ':') {
        folder += '\\';
    }
    return folder;
}

}  // namespace nv
