#pragma once
// The default error report: an error that reaches event dispatch is shown in a message box
// owned by the main window, and the window stays as it was.

#include <windows.h>

#include <functional>
#include <string>

namespace nv::toolkit::win32 {

// Shows `text` to the user, owned by `owner`.
using ErrorBox = std::function<void(HWND owner, const std::string& text)>;

// The caption of the error box. The program sets no title of its own, so the box carries the
// name the user started it under.
inline constexpr char kErrorCaption[] = "Setup";

// The system message box: error icon, one OK button.
void ShowErrorBox(HWND owner, const std::string& text);

}  // namespace nv::toolkit::win32
