#pragma once
// Names as Windows reads them: the ANSI file calls turn a name's bytes into UTF-16 with the
// process's ANSI code page before any rule of the file system applies, so a name is judged in
// that form. Under a multi-byte code page a few bytes may become one character (A9 F6 is the
// superscript one in code page 949) or none at all.

#include <optional>
#include <string>
#include <string_view>

namespace nv::host {

// The UTF-16 form of `bytes` in the code page `codePage` (CP_ACP: the process's ANSI code
// page); no value when they hold a sequence that is not valid there.
std::optional<std::u16string> CodePageToUtf16(std::string_view bytes, unsigned codePage);

}  // namespace nv::host
