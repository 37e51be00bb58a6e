#pragma once
// Entry names are stored as the setup reads them: Windows-1252, the ANSI code page its texts
// use. Names on the command line and in the file system are in the system's own encoding: the
// locale's on POSIX systems (UTF-8 when the locale names only ASCII, as the C locale does),
// the ANSI code page on Windows.

#include <optional>
#include <string>

namespace nvpack {

// `name` in Windows-1252; empty when a character of it has no Windows-1252 form.
std::optional<std::string> ToEntryName(const std::string& name);

// The entry name `name` in the system's encoding; empty when it has no form there.
std::optional<std::string> FromEntryName(const std::string& name);

// The entry name for showing: in the system's encoding, or with \xNN for its bytes above 127
// when it has no form there.
std::string ShownEntryName(const std::string& name);

}  // namespace nvpack
