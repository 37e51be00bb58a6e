#include "toolkit/win32/label_metrics.h"

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

}  // namespace

SIZE MeasureLabelText(HWND window, HFONT font, const std::string& text) {
    FontDc dc(window, font);
    if (dc.Get() == nullptr) {
        return SIZE{0, 0};
    }
    const std::string measured = text.empty() ? std::string(" ") : text;
    RECT rect{0, 0, 0, 0};
    DrawTextA(dc.Get(), measured.c_str(), static_cast<int>(measured.size()), &rect,
              DT_CALCRECT | DT_EXPANDTABS | DT_LEFT);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
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
