#pragma once
// Conversion of a script value to an integer: a number, a cursor, colour or character-set
// identifier, or "#" followed by hexadecimal digits.

#include <cstdint>
#include <optional>
#include <string_view>

namespace nv::lang {

// Tried in this order: the toolkit's integer syntax; a cursor identifier (crHandPoint); a colour
// identifier (clRed, clBtnFace); a character-set identifier (ANSI_CHARSET); "#" followed by
// hexadecimal digits, taken as they stand (#0000FF is 255). None when nothing fits.
std::optional<std::int32_t> TextToInteger(std::string_view text);

// The single tables, each looked up with A..Z compared without case, first match first.
std::optional<std::int32_t> IdentToCursor(std::string_view name);
std::optional<std::int32_t> IdentToColor(std::string_view name);
std::optional<std::int32_t> IdentToCharset(std::string_view name);

}  // namespace nv::lang
