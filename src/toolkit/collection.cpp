#include "toolkit/collection.h"

#include "toolkit/errors.h"

namespace nv::toolkit {

const ClassInfo& TCollectionItem::StaticClass() {
    static const ClassInfo info("TCollectionItem", &TPersistent::StaticClass());
    return info;
}

const ClassInfo& TCollection::StaticClass() {
    static const ClassInfo info("TCollection", &TPersistent::StaticClass());
    return info;
}

TCollectionItem& TCollection::Items(int index) const {
    CheckListIndex(index, Count());
    return *items_[static_cast<std::size_t>(index)];
}

void TCollection::Delete(int index) {
    CheckListIndex(index, Count());
    items_.erase(items_.begin() + index);
}

void TCollection::Append(std::unique_ptr<TCollectionItem> item) {
    item->collection_ = this;
    items_.push_back(std::move(item));
}

}  // namespace nv::toolkit
