#include "toolkit/win32/label_metrics.h"

#include <algorithm>
#include <cstdint>

#include "win32/unique_handle.h"

namespace nv::toolkit::win32 {
namespace {

// A window's device context with a font selected, released on scope exit.
class FontDc {
public:
    FontDc(HWND window, HFONT font)
        : window_(window),
          dc_(GetDC(window)),
          previous_(dc_ != nullptr && font != nullptr ? SelectObject(dc_, font) : nullptr) {}
    ~FontDc() {
        if (dc_ != nullptr) {
            if (previous_ != nullptr) {
                SelectObject(dc_, previous_);
            }
            ReleaseDC(window_, dc_);
        }
    }
    FontDc(const FontDc&) = delete;
    FontDc& operator=(const FontDc&) = delete;
    FontDc(FontDc&&) = delete;
    FontDc& operator=(FontDc&&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
    HGDIOBJ previous_;
};

// The flags a static control of `style` draws its text with, less the word breaks and the
// alignment: a label is measured on one line per line break, from its left edge.
UINT StaticTextFlags(LONG_PTR style) {
    UINT flags = DT_EXPANDTABS | DT_LEFT;
    if ((style & SS_NOPREFIX) != 0) {
        flags |= DT_NOPREFIX;
    }
    return flags;
}

// The width from the text's origin to the right edge of the last pixel it inks when drawn
// with the font selected into `dc`; `box` is its measured size.
int InkedWidth(HDC dc, const std::string& text, UINT flags, SIZE box) {
    // Room on the right for ink beyond the advances; a line height is ample.
    const int slack = std::max<int>(box.cy, 8);
    const int width = box.cx + slack;
    const int height = std::max<int>(box.cy, 1);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const UniqueBitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) {
        return box.cx;
    }
    // Declared after the bitmap and before the selections, so that both are put back before
    // the context goes and the context goes before the bitmap.
    const UniqueMemoryDc memory(CreateCompatibleDC(dc));
    if (!memory) {
        return box.cx;
    }
    const SelectedObject drawsInto(memory.Get(), bitmap.Get());
    const SelectedObject drawsWith(memory.Get(), GetCurrentObject(dc, OBJ_FONT));
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill(pixels, pixels + static_cast<std::size_t>(width) * height, 0xFFFFFFU);
    SetTextColor(memory.Get(), RGB(0, 0, 0));
    SetBkMode(memory.Get(), TRANSPARENT);
    RECT area{0, 0, width, height};
    DrawTextA(memory.Get(), text.c_str(), static_cast<int>(text.size()), &area, flags | DT_NOCLIP);
    GdiFlush();
    int inked = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = width - 1; x >= inked; --x) {
            if ((pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFFU) != 0xFFFFFFU) {
                inked = x + 1;
                break;
            }
        }
    }
    return inked;
}

}  // namespace

SIZE MeasureLabelText(HWND label, const std::string& text) {
    const auto font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    FontDc dc(label, font);
    if (dc.Get() == nullptr) {
        return SIZE{0, 0};
    }
    const std::string measured = text.empty() ? std::string(" ") : text;
    const UINT flags = StaticTextFlags(GetWindowLongPtrA(label, GWL_STYLE));
    RECT rect{0, 0, 0, 0};
    DrawTextA(dc.Get(), measured.c_str(), static_cast<int>(measured.size()), &rect,
              DT_CALCRECT | flags);
    const SIZE box{rect.right - rect.left, rect.bottom - rect.top};
    return SIZE{std::max<LONG>(box.cx, InkedWidth(dc.Get(), measured, flags, box)), box.cy};
}

RECT AutoSizedBounds(const RECT& current, SIZE size, TAlignment alignment) {
    RECT result = current;
    if (alignment == TAlignment::RightJustify) {
        result.left = current.right - size.cx;
    }
    result.right = result.left + size.cx;
    result.bottom = result.top + size.cy;
    return result;
}

int LineHeight(HWND window, HFONT font) {
    FontDc dc(window, font);
    TEXTMETRICA metrics{};
    if (dc.Get() == nullptr || !GetTextMetricsA(dc.Get(), &metrics)) {
        return 13;
    }
    return metrics.tmHeight;
}

}  // namespace nv::toolkit::win32
