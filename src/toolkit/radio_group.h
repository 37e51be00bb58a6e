#pragma once
// A group of radio buttons, one per item of its string list; at most one item is chosen.

#include <cstdint>
#include <memory>

#include "toolkit/control.h"
#include "toolkit/strings.h"

namespace nv::toolkit {

class TRadioGroup : public TWinControl {
public:
    TRadioGroup();
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentKind Kind() const override { return ComponentKind::RadioGroup; }

    // The captions of the buttons. Whenever the list changes, a chosen item stays chosen while
    // its index is below the new number of items; otherwise the last item becomes the chosen
    // one (none when the list is empty). A group with no chosen item keeps none.
    TStrings* Items() const { return items_.get(); }
    // Replaces the items with copies of the lines of `items`; none empties the group.
    void SetItems(TStrings* items) { items_->Assign(items); }

    // The chosen item, or -1 for none. Values outside the items are clamped to -1 .. Count-1.
    std::int32_t ItemIndex() const { return itemIndex_; }
    void SetItemIndex(std::int32_t index);
    std::int32_t Columns() const { return columns_; }
    void SetColumns(std::int32_t columns);

    // Raised by the backend when the user chooses an item: chooses it, then runs OnClick.
    void SelectByUser(std::int32_t index);

    TNotifyEvent OnClick;

private:
    void ItemsChanged();

    std::unique_ptr<TStringList> items_;
    std::int32_t itemIndex_ = -1;
    std::int32_t columns_ = 1;
};

}  // namespace nv::toolkit
