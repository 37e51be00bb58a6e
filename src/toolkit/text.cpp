#include "toolkit/text.h"

#include <limits>
#include <type_traits>

namespace nv::toolkit {
namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The parts of a text in the integer syntax: sign, magnitude and whether it was hexadecimal.
struct IntegerText {
    bool negative = false;
    bool hexadecimal = false;
    std::uint64_t magnitude = 0;
};

std::optional<IntegerText> ScanInteger(std::string_view text) {
    IntegerText result;
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        result.negative = text[pos] == '-';
        ++pos;
    }
    if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
        result.hexadecimal = true;
        ++pos;
    } else if (pos + 1 < text.size() && text[pos] == '0' &&
               (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        result.hexadecimal = true;
        pos += 2;
    }
    if (pos == text.size()) {
        return std::nullopt;
    }
    const std::uint64_t base = result.hexadecimal ? 16 : 10;
    for (; pos < text.size(); ++pos) {
        const int digit = result.hexadecimal
                              ? HexDigitValue(text[pos])
                              : ((text[pos] >= '0' && text[pos] <= '9') ? text[pos] - '0' : -1);
        if (digit < 0) {
            return std::nullopt;
        }
        const auto udigit = static_cast<std::uint64_t>(digit);
        if (result.magnitude > (std::numeric_limits<std::uint64_t>::max() - udigit) / base) {
            return std::nullopt;
        }
        result.magnitude = result.magnitude * base + udigit;
    }
    return result;
}

// A hexadecimal number may use every bit of the type (so $FFFFFFFF is -1 in 32 bits); a decimal
// one must lie in the signed range.
template <class Int>
std::optional<Int> ToSigned(const IntegerText& scanned) {
    using Unsigned = std::make_unsigned_t<Int>;
    constexpr auto kUnsignedMax = static_cast<std::uint64_t>(std::numeric_limits<Unsigned>::max());
    constexpr auto kSignedMax = static_cast<std::uint64_t>(std::numeric_limits<Int>::max());
    if (scanned.hexadecimal) {
        if (scanned.magnitude > kUnsignedMax) {
            return std::nullopt;
        }
        auto bits = static_cast<Unsigned>(scanned.magnitude);
        if (scanned.negative) {
            bits = static_cast<Unsigned>(Unsigned{0} - bits);
        }
        return static_cast<Int>(bits);
    }
    if (scanned.negative) {
        if (scanned.magnitude > kSignedMax + 1) {
            return std::nullopt;
        }
        return scanned.magnitude == kSignedMax + 1
                   ? std::numeric_limits<Int>::min()
                   : static_cast<Int>(-static_cast<Int>(scanned.magnitude));
    }
    if (scanned.magnitude > kSignedMax) {
        return std::nullopt;
    }
    return static_cast<Int>(scanned.magnitude);
}

}  // namespace

std::optional<std::int64_t> ParseInt64(std::string_view text) {
    const auto scanned = ScanInteger(text);
    return scanned ? ToSigned<std::int64_t>(*scanned) : std::nullopt;
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    const auto scanned = ScanInteger(text);
    return scanned ? ToSigned<std::int32_t>(*scanned) : std::nullopt;
}

}  // namespace nv::toolkit
