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
    FontKey key{font.Name(), font.Height(), font.Style(), font.Charset()};
    auto found = fonts_.find(key);
    if (found != fonts_.end()) {
        return found->second.Get();
    }
    const std::uint32_t style = font.Style();
    auto has = [style](TFontStyle element) { return (style & StyleBit(element)) != 0; };
    HFONT handle =
        CreateFontA(font.Height(), 0, 0, 0, has(TFontStyle::Bold) ? FW_BOLD : FW_NORMAL,
                    has(TFontStyle::Italic), has(TFontStyle::Underline), has(TFontStyle::StrikeOut),
                    static_cast<DWORD>(font.Charset()), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Name().c_str());
    if (handle == nullptr) {
        return nullptr;
    }
    return fonts_.emplace(std::move(key), UniqueFont(handle)).first->second.Get();
}

HBRUSH GdiCache::Brush(TColor color) {
    const COLORREF value = ToColorRef(color);
    auto found = brushes_.find(value);
    if (found != brushes_.end()) {
        return found->second.Get();
    }
    HBRUSH handle = CreateSolidBrush(value);
    if (handle == nullptr) {
        return nullptr;
    }
    return brushes_.emplace(value, UniqueBrush(handle)).first->second.Get();
}

}  // namespace nv::toolkit::win32
