#include "picture_bitmaps.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "base/error.h"
#include "pictures.h"

namespace nv::wizard {

namespace {

// Copies a top-down 24- or 32-bit DIB section into 0xAARRGGBB pixels; 24-bit pixels are
// opaque, 32-bit ones keep their (premultiplied) alpha.
toolkit::Bitmap ToBitmap(HBITMAP handle) {
    DIBSECTION section{};
    if (GetObjectA(handle, sizeof section, &section) != sizeof section ||
        section.dsBm.bmBits == nullptr) {
        throw nv::Error("Bild kann nicht gelesen werden");
    }
    const BITMAP& bitmap = section.dsBm;
    const int bytesPerPixel = bitmap.bmBitsPixel / 8;
    if (bytesPerPixel != 3 && bytesPerPixel != 4) {
        throw nv::Error("Bild kann nicht gelesen werden");
    }
    toolkit::Bitmap result;
    result.width = bitmap.bmWidth;
    result.height = bitmap.bmHeight;
    result.pixels.resize(static_cast<std::size_t>(result.width) *
                         static_cast<std::size_t>(result.height));
    // Row by row through pointers: the background alone is a third of a million pixels, read
    // back before the window can show.
    const auto* row = static_cast<const std::uint8_t*>(bitmap.bmBits);
    std::uint32_t* out = result.pixels.data();
    for (int y = 0; y < result.height; ++y, row += bitmap.bmWidthBytes) {
        const std::uint8_t* p = row;
        for (int x = 0; x < result.width; ++x, p += bytesPerPixel) {
            const std::uint32_t alpha = bytesPerPixel == 4 ? p[3] : 0xFFU;
            *out++ =
                (alpha << 24U) | (std::uint32_t{p[2]} << 16U) | (std::uint32_t{p[1]} << 8U) | p[0];
        }
    }
    return result;
}

}  // namespace

WizardPictures LoadWizardPictures() {
    WizardPictures pictures;
    pictures.splash = ToBitmap(DrawSplashPicture().Get());
    for (int i = 0; i < kStepPictureCount; ++i) {
        pictures.steps[static_cast<std::size_t>(i)] = ToBitmap(DrawStepPicture(i).Get());
    }
    return pictures;
}

}  // namespace nv::wizard
