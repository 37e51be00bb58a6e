#pragma once
// Paths as Windows itself names what a handle has open: in UTF-16, full, with long names, and
// compared the way the file system compares names.

#include <windows.h>

#include <string>

namespace nv::host {

// `text` in UTF-16 as Windows reads it through the ANSI code page; empty when a byte is no
// character of that code page.
std::wstring WideFromAnsiStrictly(const std::string& text);

// The full path of `path` as GetFullPathName makes it; empty for an empty path.
std::wstring FullWidePath(const std::wstring& path);

// The path the file system gives what `handle` has open, without the "\\?\" prefix and
// without trailing backslashes (a drive's root keeps its own); empty when it cannot be told.
// Where the system lacks the call, `openedAs` made full stands in for it: a hold on the
// object keeps that name on it.
std::wstring FinalPathOf(HANDLE handle, const std::string& openedAs);

// True when what `handle` has open is named `path` (made full and long) as the file system
// names it: the ANSI forms would not do, as letters outside the code page all read as "?".
bool HandleIsNamed(HANDLE handle, const std::string& path);

}  // namespace nv::host
