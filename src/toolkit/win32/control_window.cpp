#include "toolkit/win32/control_window.h"

namespace nv::toolkit::win32 {

bool ControlWindow::Owns(HWND handle) const {
    if (handle == nullptr) {
        return false;
    }
    if (handle == window.Get() || handle == frame.Get()) {
        return true;
    }
    for (const UniqueWindow& item : items) {
        if (item.Get() == handle) {
            return true;
        }
    }
    return false;
}

void ControlWindow::DestroyWindows() {
    items.clear();
    frame.Reset();
    window.Reset();
}

}  // namespace nv::toolkit::win32
