#include "toolkit/control.h"

#include <algorithm>

#include "toolkit/property_types.h"

namespace nv::toolkit {

namespace {

constexpr std::string_view kAlignNames[] = {"alNone", "alTop",   "alBottom",
                                            "alLeft", "alRight", "alClient"};

}  // namespace

const ClassInfo& TControl::StaticClass() {
    static const ClassInfo info(
        "TControl", &TComponent::StaticClass(),
        MakePropertyList(IntegerProp("Left", &TControl::Left, &TControl::SetLeft),
                         IntegerProp("Top", &TControl::Top, &TControl::SetTop),
                         IntegerProp("Width", &TControl::Width, &TControl::SetWidth),
                         IntegerProp("Height", &TControl::Height, &TControl::SetHeight),
                         BoolProp("Visible", &TControl::Visible, &TControl::SetVisible),
                         BoolProp("Enabled", &TControl::Enabled, &TControl::SetEnabled),
                         IntegerProp("Cursor", &TControl::Cursor, &TControl::SetCursor),
                         EnumProp("Align", kAlignNames, &TControl::Align, &TControl::SetAlign)));
    return info;
}

TControl::TControl() : font_(std::make_unique<TFont>()) {
    font_->OnChange = [this] { Changed(ControlProperty::Font); };
}

TControl::~TControl() {
    SetParent(nullptr);
}

void TControl::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                         std::int32_t height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) {
        return;
    }
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed(ControlProperty::Bounds);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_ || parent == this) {
        return;
    }
    if (parent_ != nullptr) {
        auto& siblings = parent_->controls_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    parent_ = parent;
    if (parent_ != nullptr) {
        parent_->controls_.push_back(this);
    }
    Changed(ControlProperty::Parent);
}

void TControl::Changed(ControlProperty property) {
    if (backend_ != nullptr) {
        backend_->Changed(*this, property);
    }
}

const ClassInfo& TWinControl::StaticClass() {
    static const ClassInfo info(
        "TWinControl", &TControl::StaticClass(),
        MakePropertyList(IntegerProp("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder),
                         BoolProp("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)));
    return info;
}

TWinControl::~TWinControl() {
    // The controls shown on this one outlive it only when they are owned elsewhere; they are
    // left without a visual parent.
    for (TControl* control : controls_) {
        control->parent_ = nullptr;
    }
}

}  // namespace nv::toolkit
