#include "toolkit/form.h"

#include <algorithm>

#include "toolkit/property_types.h"

namespace nv::toolkit {
namespace {

constexpr std::string_view kBorderStyleNames[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                                  "bsDialog", "bsToolWindow", "bsSizeToolWin"};
constexpr std::string_view kBorderIconNames[] = {"biSystemMenu", "biMinimize", "biMaximize",
                                                 "biHelp"};

}  // namespace

const ClassInfo& TForm::StaticClass() {
    static const ClassInfo info(
        "TForm", &TWinControl::StaticClass(),
        MakePropertyList(
            TextProp("Caption", &TForm::Caption, &TForm::SetCaption),
            IntegerProp("Color", &TForm::Color, &TForm::SetColor),
            ObjectProp("Font", &TForm::Font, &TForm::SetFont),
            IntegerProp("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth),
            IntegerProp("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight),
            EnumProp("BorderStyle", kBorderStyleNames, &TForm::BorderStyle, &TForm::SetBorderStyle),
            SetProp("BorderIcons", kBorderIconNames, &TForm::BorderIcons, &TForm::SetBorderIcons)));
    return info;
}

TForm::TForm() {
    SetVisible(false);
}

TForm::~TForm() {
    // Every control leaves the backend before any is destroyed: children before their parents,
    // the form last.
    DetachAll();
}

void TForm::AttachBackend(ControlBackend* backend) {
    DetachAll();
    if (backend == nullptr) {
        return;
    }
    backend_ = backend;
    attached_.push_back(this);
    backend->Attach(*this);
    for (int i = 0; i < ComponentCount(); ++i) {
        if (auto* control = dynamic_cast<TControl*>(&Components(i))) {
            AttachControl(*control);
        }
    }
    backend->AttachFinished();
}

void TForm::AttachControl(TControl& control) {
    if (control.backend_ != nullptr) {
        return;
    }
    // A visual parent owned by this form goes first, so the backend can place the child in it.
    TWinControl* parent = control.Parent();
    if (parent != nullptr && parent != this && parent->Owner() == this) {
        AttachControl(*parent);
    }
    control.backend_ = backend_;
    attached_.push_back(&control);
    backend_->Attach(control);
}

void TForm::DetachAll() {
    ControlBackend* backend = backend_;
    if (backend == nullptr) {
        return;
    }
    // Children first, the form last: the reverse of the attaching order.
    while (!attached_.empty()) {
        TControl* control = attached_.back();
        attached_.pop_back();
        backend->Detach(*control);
        control->backend_ = nullptr;
    }
}

void TForm::Notification(TComponent& component, TOperation operation) {
    TWinControl::Notification(component, operation);
    auto* control = dynamic_cast<TControl*>(&component);
    if (control == nullptr || backend_ == nullptr) {
        return;
    }
    if (operation == TOperation::Insert) {
        AttachControl(*control);
    } else if (control->backend_ != nullptr) {
        backend_->Detach(*control);
        control->backend_ = nullptr;
        attached_.erase(std::remove(attached_.begin(), attached_.end(), control), attached_.end());
    }
}

}  // namespace nv::toolkit
