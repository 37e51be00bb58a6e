#pragma once
// What the Win32 backend keeps for one control: its kind and the windows that show it.

#include <windows.h>

#include <vector>

#include "toolkit/control.h"
#include "toolkit/win32/picture_painter.h"
#include "win32/unique_handle.h"

namespace nv::toolkit::win32 {

struct ControlWindow {
    explicit ControlWindow(TControl& shown) : control(&shown), kind(shown.Kind()) {}

    TControl* control;
    ComponentKind kind;
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

// Sets or clears style bits of a window, writing only when they change.
void SetStyleBits(HWND window, LONG_PTR bits, bool on);

}  // namespace nv::toolkit::win32
