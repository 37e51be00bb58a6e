#include "toolkit/image.h"

#include <string>
#include <utility>

#include "base/error.h"
#include "toolkit/errors.h"
#include "toolkit/property_types.h"

namespace nv::toolkit {

TImage::TImage() : picture_(std::make_unique<TPicture>()) {
    picture_->OnChange = [this] { Changed(ControlProperty::Picture); };
}

const ClassInfo& TImage::StaticClass() {
    static const ClassInfo info(
        "TImage", &TControl::StaticClass(),
        MakePropertyList(ObjectProp("Picture", &TImage::Picture, &TImage::SetPicture),
                         BoolProp("Stretch", &TImage::Stretch, &TImage::SetStretch),
                         BoolProp("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize)));
    return info;
}

const ClassInfo& TImageList::StaticClass() {
    static const ClassInfo info(
        "TImageList", &TComponent::StaticClass(),
        MakePropertyList(IntegerProp("Width", &TImageList::Width, &TImageList::SetWidth),
                         IntegerProp("Height", &TImageList::Height, &TImageList::SetHeight),
                         BoolProp("Masked", &TImageList::Masked, &TImageList::SetMasked)));
    return info;
}

void TImageList::Add(Bitmap bitmap) {
    if (bitmap.width != width_ || bitmap.height != height_ ||
        bitmap.pixels.size() !=
            static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {
        throw Error("Invalid picture size for the picture list " + Name());
    }
    bitmaps_.push_back(std::move(bitmap));
}

void TImageList::GetBitmap(int index, TPicture& picture) const {
    CheckListIndex(index, Count());
    picture.SetBitmap(bitmaps_[static_cast<std::size_t>(index)]);
}

}  // namespace nv::toolkit
