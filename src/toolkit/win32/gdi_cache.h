#pragma once
// Fonts and solid brushes made from the model's TFont and TColor. Each distinct font or colour
// is created once and kept until the cache goes, so controls can share them freely.

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <tuple>

#include "toolkit/graphics.h"
#include "toolkit/win32/win32_handles.h"

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
    using FontKey = std::tuple<std::string, std::int32_t, std::uint32_t, std::int32_t>;
    std::map<FontKey, UniqueFont> fonts_;
    std::map<COLORREF, UniqueBrush> brushes_;
};

}  // namespace nv::toolkit::win32
