#include "toolkit/win32/win32_backend.h"

#include <algorithm>
#include <utility>

#include "toolkit/form.h"

namespace nv::toolkit::win32 {

Win32Backend::Win32Backend(ErrorBox errorBox) : errorBox_(std::move(errorBox)) {}

Win32Backend::~Win32Backend() {
    if (form_ != nullptr) {
        // Still attached: the form outlives its backend. Leave it headless.
        form_->AttachBackend(nullptr);
    }
    for (auto it = records_.rbegin(); it != records_.rend(); ++it) {
        (*it)->DestroyWindows();
    }
}

Win32Backend* Win32Backend::Of(const TControl& control) {
    return dynamic_cast<Win32Backend*>(control.Backend());
}

void Win32Backend::Attach(TControl& control) {
    const ComponentKind kind = control.Kind();
    if (kind == ComponentKind::Form) {
        form_ = static_cast<TForm*>(&control);
        attaching_ = true;  // the form's controls follow, then AttachFinished
    }
    records_.push_back(std::make_unique<ControlWindow>(control));
    ControlWindow& record = *records_.back();
    if (form_ == nullptr || (kind != ComponentKind::Form && MainWindow() == nullptr)) {
        return;  // nothing to show it in yet, or the form has closed
    }
    if (deferHidden_ && attaching_ && kind != ComponentKind::Image && HiddenInForm(control)) {
        record.deferred = true;
        return;
    }
    CreateWindows(record);
    ApplyTabOrder(control.Parent());
}

void Win32Backend::AttachFinished() {
    attaching_ = false;
    const std::vector<const TControl*> pending = std::move(tabOrderPending_);
    tabOrderPending_.clear();
    for (const TControl* parent : pending) {
        ApplyTabOrderNow(parent);
    }
}

void Win32Backend::Detach(TControl& control) {
    auto found = std::find_if(records_.begin(), records_.end(), [&control](const auto& record) {
        return record->control == &control;
    });
    if (found == records_.end()) {
        return;
    }
    ControlWindow& record = **found;
    if (record.window) {
        // Windows inside this one would be destroyed with it behind their records' backs.
        for (auto& other : records_) {
            if (other.get() != &record && other->window &&
                IsChild(record.window.Get(), other->window.Get())) {
                other->DestroyWindows();
            }
        }
    }
    if (record.kind == ComponentKind::Image) {
        InvalidateImage(record);
    }
    if (lastFocus_ != nullptr && record.Owns(lastFocus_)) {
        lastFocus_ = nullptr;
    }
    record.DestroyWindows();
    if (&control == form_) {
        form_ = nullptr;
        closePending_ = false;
        attaching_ = false;
    }
    tabOrderPending_.erase(std::remove(tabOrderPending_.begin(), tabOrderPending_.end(), &control),
                           tabOrderPending_.end());
    records_.erase(found);
}

void Win32Backend::Changed(TControl& control, ControlProperty property) {
    ControlWindow* record = Find(control);
    if (record == nullptr) {
        return;
    }
    if (property == ControlProperty::Closed) {
        // A close requested while an event handler runs (even one nested in a message loop
        // the handler runs itself) waits until that handler has returned.
        if (dispatchDepth_ > 0) {
            closePending_ = true;
        } else {
            CloseNow();
        }
        return;
    }
    if (record->deferred) {
        // Its window takes the model's state when it is made; until then only what could
        // make it seen, or move it under a window that exists, needs it now.
        if (property != ControlProperty::Visible && property != ControlProperty::Parent) {
            return;
        }
        CreateDeferredWindows();
    }
    Mirror(*record, property);
}

bool Win32Backend::HiddenInForm(const TControl& control) const {
    for (const TControl* current = &control; current != nullptr && current != form_;
         current = current->Parent()) {
        if (!current->Visible()) {
            return true;
        }
    }
    return false;
}

void Win32Backend::ShowForm(HWND window, bool visible) {
    ShowWindow(window, visible ? SW_SHOW : SW_HIDE);
    const bool anyDeferred = std::any_of(records_.begin(), records_.end(),
                                         [](const auto& record) { return record->deferred; });
    if (visible && anyDeferred && !deferredCreationDue_) {
        // Painted now, so the window is complete on screen before the hidden ones are made;
        // the posted message then comes before any input the user can give.
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        deferredCreationDue_ = true;
        PostMessageA(window, WM_NULL, 0, 0);
    }
}

void Win32Backend::CreateDeferredWindows() {
    deferredCreationDue_ = false;
    std::vector<const TControl*> parents;
    // By index: making a window may change the model, never the list of records.
    for (std::size_t i = 0; i < records_.size(); ++i) {
        ControlWindow& record = *records_[i];
        if (!record.deferred) {
            continue;
        }
        record.deferred = false;
        CreateWindows(record);
        const TControl* parent = record.control->Parent();
        if (std::find(parents.begin(), parents.end(), parent) == parents.end()) {
            parents.push_back(parent);
        }
    }
    for (const TControl* parent : parents) {
        ApplyTabOrder(parent);
    }
}

void Win32Backend::CloseNow() {
    closePending_ = false;
    lastFocus_ = nullptr;
    for (auto it = records_.rbegin(); it != records_.rend(); ++it) {
        (*it)->DestroyWindows();
    }
}

HWND Win32Backend::WindowOf(const TControl& control) {
    const ControlWindow* record = Find(control);
    if (record != nullptr && record->deferred) {
        CreateDeferredWindows();
    }
    return ExistingWindowOf(control);
}

HWND Win32Backend::ExistingWindowOf(const TControl& control) const {
    const ControlWindow* record = Find(control);
    return record != nullptr ? record->window.Get() : nullptr;
}

HWND Win32Backend::MainWindow() const {
    return form_ != nullptr ? ExistingWindowOf(*form_) : nullptr;
}

ControlWindow* Win32Backend::Find(const TControl& control) const {
    for (const auto& record : records_) {
        if (record->control == &control) {
            return record.get();
        }
    }
    return nullptr;
}

ControlWindow* Win32Backend::FindByWindow(HWND window) const {
    for (const auto& record : records_) {
        if (record->Owns(window)) {
            return record.get();
        }
    }
    return nullptr;
}

HWND Win32Backend::ParentWindowOf(const TControl& control) const {
    if (const TWinControl* parent = control.Parent()) {
        if (HWND window = ExistingWindowOf(*parent)) {
            return window;
        }
    }
    return MainWindow();
}

TColor Win32Backend::BackgroundOf(const TControl& control) const {
    const TControl* current = &control;
    while (current->Color() == kClBtnFace && current->Parent() != nullptr &&
           current->Kind() != ComponentKind::Form) {
        current = current->Parent();
    }
    return current->Color();
}

void Win32Backend::ReportError(HWND /*window*/, const std::string& text) {
    if (errorBox_) {
        errorBox_(MainWindow(), text);
    }
}

}  // namespace nv::toolkit::win32
