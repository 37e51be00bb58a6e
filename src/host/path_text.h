#pragma once
// Small text helpers for Windows paths and names: ASCII-only case folding (A..Z), the
// folder part of a path, trailing separators.

#include <string>
#include <string_view>

namespace nv::host {

// Compares two texts treating A..Z and a..z alike; every other byte compares exactly.
bool SameTextIgnoreCase(std::string_view a, std::string_view b);

// The text with A..Z folded to a..z.
std::string LowerCaseAscii(std::string_view text);

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

}  // namespace nv::host
