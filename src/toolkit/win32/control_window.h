#pragma once
// What the Win32 backend keeps for one control: its kind and the windows that show it.

#include <windows.h>

#include <vector>

#include "toolkit/control.h"
#include "toolkit/win32/picture_painter.h"
#include "toolkit/win32/win32_handles.h"

namespace nv::toolkit::win32 {

enum class ControlKind {
    Form,
    Panel,
    Label,
    Button,
    CheckBox,
    RadioGroup,
    Edit,
    RichEdit,
    ProgressBar,
    Image,    // painted by its visual parent; no window of its own
    Unknown,  // a control this backend does not know how to show
};

ControlKind KindOf(const TControl& control);

struct ControlWindow {
    ControlWindow(TControl& shown, ControlKind shownKind) : control(&shown), kind(shownKind) {}

    TControl* control;
    ControlKind kind;
    UniqueWindow window;              // the control's own window (a radio group's container)
    UniqueWindow frame;               // a radio group's group box
    std::vector<UniqueWindow> items;  // a radio group's buttons, one per item
    PreparedPicture picture;          // an image's picture, ready to paint
    bool settingText = false;         // the backend itself is changing the window's text
    bool deferred = false;            // hidden: its windows are made after the first paint

    // True when `handle` is one of this control's windows.
    bool Owns(HWND handle) const;
    // Destroys the windows, innermost first.
    void DestroyWindows();
};

}  // namespace nv::toolkit::win32
