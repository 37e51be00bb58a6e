#pragma once
// Text helpers shared by the toolkit and the language layer. Texts are Windows-1252 bytes;
// only the ASCII letters A to Z take part in case folding.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nv::toolkit {

// Folds A..Z to a..z and leaves every other byte (umlauts included) as it is.
std::string LowerCaseAZ(std::string_view text);

// Compares two texts, treating A..Z and a..z alike and every other byte exactly.
bool SameTextAZ(std::string_view a, std::string_view b);

// Removes every byte of code 32 or less from both ends; bytes of 128 and above stay.
std::string_view TrimControl(std::string_view text);

// The toolkit's integer syntax: optional leading blanks, an optional sign, then decimal digits,
// or hexadecimal digits after "$", "x", "X", "0x" or "0X". The whole text must be used.
std::optional<std::int64_t> ParseInt64(std::string_view text);
std::optional<std::int32_t> ParseInt32(std::string_view text);

// A floating-point number written with "." as the decimal separator and an optional exponent,
// surrounded by optional blanks.
std::optional<double> ParseFloat(std::string_view text);

}  // namespace nv::toolkit
