#include "toolkit/win32/picture_painter.h"

#include <cstdint>
#include <cstring>

#include "base/error.h"
#include "toolkit/win32/system_library.h"

namespace nv::toolkit::win32 {
namespace {

std::uint32_t Channel(std::uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFFU;
}

std::uint32_t Premultiply(std::uint32_t pixel) {
    const std::uint32_t alpha = Channel(pixel, 24);
    auto scale = [alpha](std::uint32_t value) { return (value * alpha + 127U) / 255U; };
    return (alpha << 24) | (scale(Channel(pixel, 16)) << 16) | (scale(Channel(pixel, 8)) << 8) |
           scale(Channel(pixel, 0));
}

}  // namespace

PictureAlpha ClassifyAlpha(const Bitmap& bitmap) {
    bool allZero = true;
    bool allOpaque = true;
    bool straight = false;
    for (const std::uint32_t pixel : bitmap.pixels) {
        const std::uint32_t alpha = Channel(pixel, 24);
        allZero = allZero && alpha == 0;
        allOpaque = allOpaque && alpha == 0xFF;
        straight = straight || Channel(pixel, 16) > alpha || Channel(pixel, 8) > alpha ||
                   Channel(pixel, 0) > alpha;
    }
    if (allZero || allOpaque) {
        return PictureAlpha::Opaque;
    }
    return straight ? PictureAlpha::Straight : PictureAlpha::Premultiplied;
}

PreparedPicture::PreparedPicture(const Bitmap& bitmap) {
    if (bitmap.Empty()) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bitmap.width;
    info.bmiHeader.biHeight = -bitmap.height;  // top row first, as the model stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || bits == nullptr) {
        throw Error(ErrorKind::kOutOfResources, std::string(), GetLastError());
    }
    // A 32-bit DIB stores blue, green, red, alpha: the little-endian form of 0xAARRGGBB.
    auto* out = static_cast<std::uint32_t*>(bits);
    const PictureAlpha alpha = ClassifyAlpha(bitmap);
    if (alpha == PictureAlpha::Straight) {
        for (std::size_t i = 0; i < bitmap.pixels.size(); ++i) {
            out[i] = Premultiply(bitmap.pixels[i]);
        }
    } else {
        std::memcpy(out, bitmap.pixels.data(), bitmap.pixels.size() * sizeof(std::uint32_t));
    }
    GdiFlush();
    bitmap_ = std::move(section);
    width_ = bitmap.width;
    height_ = bitmap.height;
    blend_ = alpha != PictureAlpha::Opaque;
}

void PreparedPicture::Paint(HDC dc, const RECT& box, bool stretch) const {
    if (Empty()) {
        return;
    }
    const UniqueMemoryDc source(CreateCompatibleDC(dc));
    if (!source) {
        return;
    }
    const SelectedObject drawsFrom(source.Get(), bitmap_.Get());
    const int boxWidth = box.right - box.left;
    const int boxHeight = box.bottom - box.top;
    const int width = stretch ? boxWidth : (width_ < boxWidth ? width_ : boxWidth);
    const int height = stretch ? boxHeight : (height_ < boxHeight ? height_ : boxHeight);
    const int sourceWidth = stretch ? width_ : width;
    const int sourceHeight = stretch ? height_ : height;
    if (width <= 0 || height <= 0) {
        return;
    }
    if (blend_) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        SystemAlphaBlend(dc, box.left, box.top, width, height, source.Get(), 0, 0, sourceWidth,
                         sourceHeight, blend);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, box.left, box.top, width, height, source.Get(), 0, 0, sourceWidth,
                   sourceHeight, SRCCOPY);
    }
}

}  // namespace nv::toolkit::win32
