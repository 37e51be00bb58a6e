#include "lang/script.h"

#include "base/text.h"

namespace nv::lang {

std::vector<std::string> SelectSection(const toolkit::TStrings& script, std::string_view language) {
    const std::string wanted = LowerCaseAscii(language);
    std::string current;  // lines before the first header belong to the empty name
    std::vector<std::string> result;
    for (int i = 0; i < script.Count(); ++i) {
        const std::string_view line = TrimBlanks(script.Strings(i));
        if (line.empty()) {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            current = close == std::string_view::npos ? std::string()
                                                      : LowerCaseAscii(line.substr(1, close - 1));
        } else if (line.front() != ';' && current == wanted) {
            result.emplace_back(line);
        }
    }
    return result;
}

namespace {

// Replaces every backslash followed by a lower-case n with CR LF, left to right; the
// replacement is not scanned again and no other escape exists.
std::string ExpandLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            result += "\r\n";
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

}  // namespace

Assignment ParseAssignment(std::string_view line) {
    const std::size_t equals = line.find('=');
    std::string_view key;
    std::string_view value = line;
    if (equals != std::string_view::npos) {
        key = line.substr(0, equals);
        value = line.substr(equals + 1);
    }
    key = TrimBlanks(key);
    value = TrimBlanks(value);
    // One pair of enclosing quotes is removed; a lone quote is a pair of itself.
    if (!value.empty() && value.front() == '\'' && value.back() == '\'') {
        value = value.size() == 1 ? std::string_view{} : value.substr(1, value.size() - 2);
    }
    return Assignment{std::string(key), ExpandLineBreaks(value)};
}

}  // namespace nv::lang
