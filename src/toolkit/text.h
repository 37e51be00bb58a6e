#pragma once
// The toolkit's number syntax, shared with the language layer. Texts are Windows-1252 bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nv::toolkit {

// The toolkit's integer syntax: optional leading blanks, an optional sign, then decimal digits,
// or hexadecimal digits after "$", "x", "X", "0x" or "0X". The whole text must be used.
std::optional<std::int64_t> ParseInt64(std::string_view text);
std::optional<std::int32_t> ParseInt32(std::string_view text);

// A floating-point number written with "." as the decimal separator and an optional exponent,
// surrounded by optional blanks.
std::optional<double> ParseFloat(std::string_view text);

}  // namespace nv::toolkit
