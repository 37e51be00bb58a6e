#include "toolkit/std_controls.h"

#include <algorithm>

#include "toolkit/property_types.h"

namespace nv::toolkit {

namespace {

constexpr std::string_view kBevelNames[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
constexpr std::string_view kScrollStyleNames[] = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};

}  // namespace

const ClassInfo& TPanel::StaticClass() {
    static const ClassInfo info(
        "TPanel", &TWinControl::StaticClass(),
        MakePropertyList(
            TextProp("Caption", &TPanel::Caption, &TPanel::SetCaption),
            IntegerProp("Color", &TPanel::Color, &TPanel::SetColor),
            ObjectProp("Font", &TPanel::Font, &TPanel::SetFont),
            EnumProp("BevelOuter", kBevelNames, &TPanel::BevelOuter, &TPanel::SetBevelOuter),
            BoolProp("Ctl3D", &TPanel::Ctl3D, &TPanel::SetCtl3D)));
    return info;
}

namespace {
constexpr std::string_view kAlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
}  // namespace

const ClassInfo& TLabel::StaticClass() {
    static const ClassInfo info(
        "TLabel", &TControl::StaticClass(),
        MakePropertyList(
            TextProp("Caption", &TLabel::Caption, &TLabel::SetCaption),
            IntegerProp("Color", &TLabel::Color, &TLabel::SetColor),
            ObjectProp("Font", &TLabel::Font, &TLabel::SetFont),
            EnumProp("Alignment", kAlignmentNames, &TLabel::Alignment, &TLabel::SetAlignment),
            BoolProp("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize)));
    return info;
}

const ClassInfo& TButton::StaticClass() {
    static const ClassInfo info(
        "TButton", &TWinControl::StaticClass(),
        MakePropertyList(TextProp("Caption", &TButton::Caption, &TButton::SetCaption),
                         ObjectProp("Font", &TButton::Font, &TButton::SetFont),
                         EventProp("OnClick")));
    return info;
}

void TButton::Click() {
    if (OnClick) {
        OnClick(*this);
    }
}

const ClassInfo& TCheckBox::StaticClass() {
    static const ClassInfo info(
        "TCheckBox", &TWinControl::StaticClass(),
        MakePropertyList(TextProp("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption),
                         ObjectProp("Font", &TCheckBox::Font, &TCheckBox::SetFont),
                         BoolProp("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked),
                         EventProp("OnClick")));
    return info;
}

void TCheckBox::ClickByUser() {
    SetChecked(!checked_);
    if (OnClick) {
        OnClick(*this);
    }
}

TEdit::TEdit() {
    SetColor(kClWindow);
}

const ClassInfo& TEdit::StaticClass() {
    static const ClassInfo info(
        "TEdit", &TWinControl::StaticClass(),
        MakePropertyList(TextProp("Text", &TEdit::Text, &TEdit::SetText),
                         IntegerProp("Color", &TEdit::Color, &TEdit::SetColor),
                         ObjectProp("Font", &TEdit::Font, &TEdit::SetFont),
                         BoolProp("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly)));
    return info;
}

void TEdit::TextEditedByUser(const std::string& text) {
    // The backend already shows this text: store it without reporting it back.
    StoreCaption(text);
}

TRichEdit::TRichEdit() : lines_(std::make_unique<TStringList>()) {
    SetColor(kClWindow);
    lines_->OnChange = [this] { Changed(ControlProperty::Lines); };
}

const ClassInfo& TRichEdit::StaticClass() {
    static const ClassInfo info(
        "TRichEdit", &TWinControl::StaticClass(),
        MakePropertyList(ObjectProp("Lines", &TRichEdit::Lines, &TRichEdit::SetLines),
                         IntegerProp("Color", &TRichEdit::Color, &TRichEdit::SetColor),
                         ObjectProp("Font", &TRichEdit::Font, &TRichEdit::SetFont),
                         BoolProp("ReadOnly", &TRichEdit::ReadOnly, &TRichEdit::SetReadOnly),
                         EnumProp("ScrollBars", kScrollStyleNames, &TRichEdit::ScrollBars,
                                  &TRichEdit::SetScrollBars),
                         BoolProp("WordWrap", &TRichEdit::WordWrap, &TRichEdit::SetWordWrap)));
    return info;
}

const ClassInfo& TProgressBar::StaticClass() {
    static const ClassInfo info(
        "TProgressBar", &TWinControl::StaticClass(),
        MakePropertyList(
            IntegerProp("Min", &TProgressBar::Min, &TProgressBar::SetMin),
            IntegerProp("Max", &TProgressBar::Max, &TProgressBar::SetMax),
            IntegerProp("Position", &TProgressBar::Position, &TProgressBar::SetPosition),
            IntegerProp("Step", &TProgressBar::Step, &TProgressBar::SetStep)));
    return info;
}

void TProgressBar::SetRange(std::int32_t min, std::int32_t max) {
    if (max < min) {
        max = min;
    }
    if (min != min_ || max != max_) {
        min_ = min;
        max_ = max;
        Changed(ControlProperty::Range);
    }
    SetPosition(position_);
}

void TProgressBar::SetPosition(std::int32_t position) {
    Update(position_, std::clamp(position, min_, max_), ControlProperty::Position);
}

void TProgressBar::StepIt() {
    // Widen before adding so that a large step cannot overflow.
    const std::int64_t next = std::int64_t{position_} + step_;
    SetPosition(static_cast<std::int32_t>(std::clamp<std::int64_t>(next, min_, max_)));
}

}  // namespace nv::toolkit
