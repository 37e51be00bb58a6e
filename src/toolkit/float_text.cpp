#include "toolkit/text.h"

#include <charconv>
#include <cmath>

#include "base/text.h"
#include "toolkit/errors.h"
#include "toolkit/property_types.h"

// Floating-point text has a file of its own: a program that publishes no floating-point
// property does not pull this file, and with it the standard library's floating-point parser
// and printf, into its image.

namespace nv::toolkit {
namespace {

std::size_t SkipDigits(std::string_view text, std::size_t pos) {
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        ++pos;
    }
    return pos;
}

// Sign, digits with at most one ".", and an optional exponent; no "inf", "nan" or hexadecimal.
bool IsPlainDecimal(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    const std::size_t integerEnd = SkipDigits(text, pos);
    bool digits = integerEnd > pos;
    pos = integerEnd;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fractionEnd = SkipDigits(text, pos + 1);
        digits = digits || fractionEnd > pos + 1;
        pos = fractionEnd;
    }
    if (!digits) {
        return false;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            ++pos;
        }
        const std::size_t exponentEnd = SkipDigits(text, pos);
        if (exponentEnd == pos) {
            return false;
        }
        pos = exponentEnd;
    }
    return pos == text.size();
}

}  // namespace

std::optional<double> ParseFloat(std::string_view text) {
    const std::string_view trimmed = TrimBlanks(text);
    if (!IsPlainDecimal(trimmed)) {
        return std::nullopt;
    }
    // from_chars is locale-independent but does not take a leading "+".
    const std::string_view digitsText = trimmed.front() == '+' ? trimmed.substr(1) : trimmed;
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(digitsText.data(), digitsText.data() + digitsText.size(), value);
    if (error != std::errc{} || end != digitsText.data() + digitsText.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

void FloatProperty::SetAsText(TPersistent& object, std::string_view text) const {
    (object.*access_.set)(ParsedOrThrow(ParseFloat(text), text, "floating-point"));
}

std::string FloatProperty::GetAsText(const TPersistent& object) const {
    return std::to_string((object.*access_.get)());
}

}  // namespace nv::toolkit
