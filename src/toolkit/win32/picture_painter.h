#pragma once
// Pictures of the model (32-bit 0xAARRGGBB pixels) turned into DIB sections and drawn onto a
// window's device context, blended over what lies beneath when the picture has transparency.

#include <windows.h>

#include "toolkit/graphics.h"
#include "win32/unique_handle.h"

namespace nv::toolkit::win32 {

// How a picture's alpha bytes are to be read.
enum class PictureAlpha {
    Opaque,         // every alpha byte 0 (no alpha channel) or every one 255
    Premultiplied,  // no colour channel exceeds its alpha, as GDI's blending expects
    Straight,       // colour channels independent of alpha; premultiplied before drawing
};
PictureAlpha ClassifyAlpha(const Bitmap& bitmap);

class PreparedPicture {
public:
    PreparedPicture() = default;
    // Raises nv::Error when GDI cannot hold the picture.
    explicit PreparedPicture(const Bitmap& bitmap);

    bool Empty() const { return !bitmap_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Draws the picture into `box`: scaled to fill it when `stretch`, else at its own size
    // from the box's top-left corner, clipped to the box.
    void Paint(HDC dc, const RECT& box, bool stretch) const;

private:
    UniqueBitmap bitmap_;
    int width_ = 0;
    int height_ = 0;
    bool blend_ = false;
};

}  // namespace nv::toolkit::win32
