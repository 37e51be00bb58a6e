#include "toolkit/win32/control_window.h"

#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/radio_group.h"
#include "toolkit/std_controls.h"

namespace nv::toolkit::win32 {

ControlKind KindOf(const TControl& control) {
    // Most derived first: a form is also a windowed control.
    if (dynamic_cast<const TForm*>(&control) != nullptr) {
        return ControlKind::Form;
    }
    if (dynamic_cast<const TPanel*>(&control) != nullptr) {
        return ControlKind::Panel;
    }
    if (dynamic_cast<const TLabel*>(&control) != nullptr) {
        return ControlKind::Label;
    }
    if (dynamic_cast<const TButton*>(&control) != nullptr) {
        return ControlKind::Button;
    }
    if (dynamic_cast<const TCheckBox*>(&control) != nullptr) {
        return ControlKind::CheckBox;
    }
    if (dynamic_cast<const TRadioGroup*>(&control) != nullptr) {
        return ControlKind::RadioGroup;
    }
    if (dynamic_cast<const TEdit*>(&control) != nullptr) {
        return ControlKind::Edit;
    }
    if (dynamic_cast<const TRichEdit*>(&control) != nullptr) {
        return ControlKind::RichEdit;
    }
    if (dynamic_cast<const TProgressBar*>(&control) != nullptr) {
        return ControlKind::ProgressBar;
    }
    if (dynamic_cast<const TImage*>(&control) != nullptr) {
        return ControlKind::Image;
    }
    return ControlKind::Unknown;
}

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
