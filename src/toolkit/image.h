#pragma once
// Pictures on a form: an image control and a list of equally sized pictures.

#include <cstdint>
#include <memory>
#include <vector>

#include "toolkit/control.h"
#include "toolkit/graphics.h"

namespace nv::toolkit {

class TImage : public TControl {
public:
    TImage();
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentKind Kind() const override { return ComponentKind::Image; }

    TPicture* Picture() const { return picture_.get(); }
    // Copies `picture` into the image's own picture; none clears it.
    void SetPicture(TPicture* picture) { picture_->Assign(picture); }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch) { Update(stretch_, stretch, ControlProperty::Layout); }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize) { Update(autoSize_, autoSize, ControlProperty::Layout); }

private:
    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool autoSize_ = false;
};

// A list of pictures of one size (Width x Height), such as the step numbers of a wizard.
class TImageList : public TComponent {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentKind Kind() const override { return ComponentKind::ImageList; }

    std::int32_t Width() const { return width_; }
    void SetWidth(std::int32_t width) { width_ = width; }
    std::int32_t Height() const { return height_; }
    void SetHeight(std::int32_t height) { height_ = height; }
    bool Masked() const { return masked_; }
    void SetMasked(bool masked) { masked_ = masked; }

    int Count() const { return static_cast<int>(bitmaps_.size()); }
    // Appends a picture; raises nv::Error when its size is not the list's size.
    void Add(Bitmap bitmap);
    // Puts picture `index` into `picture`; raises the list-index error outside the list.
    void GetBitmap(int index, TPicture& picture) const;

private:
    std::int32_t width_ = 16;
    std::int32_t height_ = 16;
    bool masked_ = true;
    std::vector<Bitmap> bitmaps_;
};

}  // namespace nv::toolkit
