#include "toolkit/property_types.h"

#include "base/text.h"

namespace nv::toolkit {

int ParseEnumText(std::string_view text, const IdentifierList& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (SameTextIgnoreCase(names[i], text)) {
            return static_cast<int>(i);
        }
    }
    ThrowInvalidPropertyElement(text);
}

std::uint32_t ParseSetText(std::string_view text, const IdentifierList& names) {
    std::string_view rest = TrimBlanks(text);
    if (!rest.empty() && rest.front() == '[') {
        rest.remove_prefix(1);
        if (!rest.empty() && rest.back() == ']') {
            rest.remove_suffix(1);
        }
    }
    std::uint32_t bits = 0;
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of(", ");
        const std::string_view element = rest.substr(0, end);
        if (!element.empty()) {
            bits |= std::uint32_t{1} << static_cast<unsigned>(ParseEnumText(element, names));
        }
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    return bits;
}

std::string SetToText(std::uint32_t bits, const IdentifierList& names) {
    std::string text = "[";
    for (std::size_t i = 0; i < names.size() && i < 32; ++i) {
        if ((bits & (std::uint32_t{1} << i)) != 0) {
            if (text.size() > 1) {
                text += ',';
            }
            text += names[i];
        }
    }
    return text + "]";
}

}  // namespace nv::toolkit
