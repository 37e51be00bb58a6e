#pragma once
// The default error report: an error that reaches event dispatch is shown in a message box
// owned by the main window, and the window stays as it was. The program words the errors: it
// hands the report its describe function, which gives the text for each nv::Error.

#include <windows.h>

#include <functional>
#include <string>

#include "base/error.h"

namespace nv::toolkit::win32 {

// Shows `text` to the user, owned by `owner`.
using ErrorBox = std::function<void(HWND owner, const std::string& text)>;

// The caption of the error box. The program sets no title of its own, so the box carries the
// name the user started it under.
inline constexpr char kErrorCaption[] = "Setup";

// The system message box: error icon, one OK button.
void ShowErrorBox(HWND owner, const std::string& text);

// Makes `describe` word every error reported from now on; null restores the default, which
// shows an error's own text (what()).
void SetErrorDescriber(ErrorDescriber describe);

// The text reported for the exception being handled (call inside a catch block): an
// nv::Error as the describe function words it; memory running out and exceptions of unknown
// type as the errors of those kinds; any other exception by its own text.
std::string CurrentErrorText();

}  // namespace nv::toolkit::win32
