#pragma once
// Fonts and solid brushes made from the model's TFont and TColor. Each distinct font or colour
// is created once and kept until the cache goes, so controls can share them freely.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/graphics.h"
#include "win32/unique_handle.h"

namespace nv::toolkit::win32 {

// The colour as the system draws it: system colours resolve to their current value.
COLORREF ToColorRef(TColor color);

class GdiCache {
public:
    // The font for `font`; a name the system lacks is substituted by GDI. Null only when GDI
    // is out of resources.
    HFONT Font(const TFont& font);
    HBRUSH Brush(TColor color);

private:
    // A wizard uses a handful of fonts and colours: plain lists searched from the front.
    struct MadeFont {
        std::string name;
        std::int32_t height;
        std::uint32_t style;
        std::int32_t charset;
        UniqueFont handle;
    };
    struct MadeBrush {
        COLORREF color;
        UniqueBrush handle;
    };
    std::vector<MadeFont> fonts_;
    std::vector<MadeBrush> brushes_;
};

}  // namespace nv::toolkit::win32
