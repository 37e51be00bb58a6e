#include "toolkit/win32/gdi_cache.h"

namespace nv::toolkit::win32 {

COLORREF ToColorRef(TColor color) {
    const auto bits = static_cast<std::uint32_t>(color);
    if ((bits & 0x80000000U) != 0) {
        return GetSysColor(static_cast<int>(bits & 0xFFU));
    }
    // The model's layout (red in the low byte) is the system's own.
    return static_cast<COLORREF>(bits & 0x00FFFFFFU);
}

HFONT GdiCache::Font(const TFont& font) {
    const std::uint32_t style = font.Style();
    for (const MadeFont& made : fonts_) {
        if (made.height == font.Height() && made.style == style && made.charset == font.Charset() &&
            made.name == font.Name()) {
            return made.handle.Get();
        }
    }
    auto has = [style](TFontStyle element) { return (style & StyleBit(element)) != 0; };
    HFONT handle =
        CreateFontA(font.Height(), 0, 0, 0, has(TFontStyle::Bold) ? FW_BOLD : FW_NORMAL,
                    has(TFontStyle::Italic), has(TFontStyle::Underline), has(TFontStyle::StrikeOut),
                    static_cast<DWORD>(font.Charset()), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Name().c_str());
    if (handle == nullptr) {
        return nullptr;
    }
    fonts_.push_back(
        MadeFont{font.Name(), font.Height(), style, font.Charset(), UniqueFont(handle)});
    return handle;
}

HBRUSH GdiCache::Brush(TColor color) {
    const COLORREF value = ToColorRef(color);
    for (const MadeBrush& made : brushes_) {
        if (made.color == value) {
            return made.handle.Get();
        }
    }
    HBRUSH handle = CreateSolidBrush(value);
    if (handle == nullptr) {
        return nullptr;
    }
    brushes_.push_back(MadeBrush{value, UniqueBrush(handle)});
    return handle;
}

}  // namespace nv::toolkit::win32
