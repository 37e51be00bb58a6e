#pragma once
// The text layout of initialisation files: "[SECTION]" headers and "key=value" lines,
// lines ending in CR LF; section and key names compare without regard to case.

#include <optional>
#include <string>

namespace nv::host::sim {

// The value of `key` in `section`, or nothing when either is absent.
std::optional<std::string> ProfileLookup(const std::string& text, const std::string& section,
                                         const std::string& key);

// The text with `key` in `section` set to `value`: the line is replaced where it exists,
// added at the end of its section otherwise, and the section added at the end when missing.
std::string ProfileUpdate(const std::string& text, const std::string& section,
                          const std::string& key, const std::string& value);

}  // namespace nv::host::sim
