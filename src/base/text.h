#pragma once
// Text helpers shared by every layer. Texts are Windows-1252 bytes; only the ASCII letters A
// to Z take part in case folding, so umlauts keep their case. The path helpers read Windows
// paths: "\" separates folders and ":" ends a drive.

#include <string>
#include <string_view>

namespace nv {

// Compares two texts treating A..Z and a..z alike; every other byte compares exactly.
bool SameTextIgnoreCase(std::string_view a, std::string_view b);

// The text with A..Z folded to a..z and every other byte as it is.
std::string LowerCaseAscii(std::string_view text);

// The text without the bytes of code 32 or less at either end; bytes of 128 and above stay.
std::string_view TrimBlanks(std::string_view text);

// The path up to and including its last "\" or ":"; empty when it holds neither.
std::string FolderPart(std::string_view path);

// The folder that holds `path`: its folder part without the trailing backslash, except that
// a drive's root keeps it ("C:\" rather than "C:", which names a current folder); empty when
// the path names no folder.
std::string ContainingFolder(std::string_view path);

// The path without the backslashes at its end.
std::string WithoutTrailingBackslashes(std::string_view path);

// The path with one backslash at its end (unchanged when it already ends in one).
std::string WithTrailingBackslash(std::string_view path);

}  // namespace nv
