#include "toolkit/radio_group.h"

#include <algorithm>

#include "toolkit/property_types.h"

namespace nv::toolkit {

const ClassInfo& TRadioGroup::StaticClass() {
    static const ClassInfo info(
        "TRadioGroup", &TWinControl::StaticClass(),
        MakePropertyList(
            TextProp("Caption", &TRadioGroup::Caption, &TRadioGroup::SetCaption),
            IntegerProp("Color", &TRadioGroup::Color, &TRadioGroup::SetColor),
            ObjectProp("Font", &TRadioGroup::Font, &TRadioGroup::SetFont),
            ObjectProp("Items", &TRadioGroup::Items, &TRadioGroup::SetItems),
            IntegerProp("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex),
            IntegerProp("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns),
            EventProp("OnClick")));
    return info;
}

TRadioGroup::TRadioGroup() : items_(std::make_unique<TStringList>()) {
    items_->OnChange = [this] { ItemsChanged(); };
}

void TRadioGroup::SetItemIndex(std::int32_t index) {
    Update(itemIndex_, std::clamp(index, -1, items_->Count() - 1), ControlProperty::ItemIndex);
}

void TRadioGroup::SetColumns(std::int32_t columns) {
    Update(columns_, std::max(columns, 1), ControlProperty::Layout);
}

void TRadioGroup::SelectByUser(std::int32_t index) {
    SetItemIndex(index);
    if (OnClick) {
        OnClick(*this);
    }
}

void TRadioGroup::ItemsChanged() {
    Changed(ControlProperty::Items);
    if (itemIndex_ >= items_->Count()) {
        itemIndex_ = items_->Count() - 1;
        Changed(ControlProperty::ItemIndex);
    }
}

}  // namespace nv::toolkit
