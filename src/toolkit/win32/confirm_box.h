#pragma once
// A small modal question with the buttons "&Ja" and "&Nein". The system's own message box
// would label its buttons in the system's language; this one keeps the wording of the
// caller's texts.

#include <windows.h>

#include <string>

namespace nv::toolkit::win32 {

// True when the user answers Ja; Nein, Escape and the close box answer no.
bool ConfirmYesNo(HWND owner, const std::string& caption, const std::string& question);

}  // namespace nv::toolkit::win32
