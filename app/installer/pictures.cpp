#include "pictures.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/error.h"
#include "maker_mark.h"
#include "win32/unique_handle.h"

namespace nv::wizard {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRule = RGB(72, 80, 88);
constexpr COLORREF ToColorRef(mark::Colour colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

constexpr COLORREF kInk = ToColorRef(mark::kInk);
constexpr COLORREF kSubtleInk = RGB(128, 134, 140);
constexpr COLORREF kTeal = ToColorRef(mark::kTeal);
constexpr COLORREF kShadow = RGB(160, 160, 160);

constexpr int kRuleX = 205;
constexpr int kRuleY = 138;

constexpr char kMakerNotice[] = "\xA9 2026 Halvorn";

// Step digits are this tall (measured on '0'), leaving room for the shadow and a margin.
constexpr int kDigitHeight = 112;
constexpr int kShadowOffset = 4;

constexpr char kNoOutline[] = "The setup's pictures cannot be drawn: the digits have no outline.";

// A memory device context compatible with the screen.
UniqueMemoryDc CreateMemoryDc() {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) {
        throw Error("The setup's pictures cannot be drawn: no drawing context is available.");
    }
    return dc;
}

struct Dib {
    UniqueBitmap bitmap;
    void* bits = nullptr;
};

Dib CreateTopDownDib(int width, int height, WORD bitCount) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    Dib dib;
    dib.bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &dib.bits, nullptr, 0));
    if (!dib.bitmap) {
        throw Error("The setup's pictures cannot be drawn: not enough graphics memory.");
    }
    return dib;
}

int CALLBACK NoteFaceFound(const LOGFONTA* /*font*/, const TEXTMETRICA* /*metrics*/, DWORD /*type*/,
                           LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;  // NOLINT(performance-no-int-to-ptr): callback data
    return 0;
}

// The first installed of a few clean sans-serif faces; every Windows has Tahoma, and so has Wine.
std::string ChooseFace(HDC dc) {
    for (const char* face : {"Segoe UI", "Tahoma"}) {
        LOGFONTA query{};
        query.lfCharSet = DEFAULT_CHARSET;
        std::strncpy(query.lfFaceName, face, LF_FACESIZE - 1);
        bool found = false;
        EnumFontFamiliesExA(dc, &query, NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
        if (found) {
            return face;
        }
    }
    return "Arial";
}

// pixelHeight is the em height: the height of the characters without internal leading.
UniqueFont CreateSansFont(const std::string& face, int pixelHeight, int weight, DWORD quality) {
    UniqueFont font(CreateFontA(-pixelHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, quality,
                                VARIABLE_PITCH | FF_SWISS, face.c_str()));
    if (!font) {
        throw Error("The setup's pictures cannot be drawn: the font \"" + face +
                    "\" is not available.");
    }
    return font;
}

void FillRectangle(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    const RECT area{left, top, right, bottom};
    SetDCBrushColor(dc, colour);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// A square standing on one corner, centred on (x, y), reaching radius pixels to each corner.
void FillDiamond(HDC dc, int x, int y, int radius, COLORREF colour) {
    const POINT corners[] = {{x, y - radius}, {x + radius, y}, {x, y + radius}, {x - radius, y}};
    SetDCBrushColor(dc, colour);
    SelectedObject brush(dc, GetStockObject(DC_BRUSH));
    SelectedObject pen(dc, GetStockObject(NULL_PEN));
    Polygon(dc, corners, 4);
}

// Draws one line of text; align is a TA_ horizontal flag, y the baseline.
void DrawTextLine(HDC dc, const std::string& text, int x, int baseline, UINT align, HFONT font,
                  COLORREF colour) {
    SelectedObject selected(dc, font);
    SetTextAlign(dc, align | TA_BASELINE | TA_NOUPDATECP);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, x, baseline, text.data(), static_cast<int>(text.size()));
}

// The maker's mark, a diamond cut into four facets, over the maker's name, centred in the
// top-left field.
void DrawMakerLogo(HDC dc, const std::string& face) {
    const int centreX = kRuleX / 2;
    const int centreY = 51;
    for (const mark::Facet& facet : mark::kFacets) {
        FillDiamond(dc, centreX + facet.dx * mark::kStep, centreY + facet.dy * mark::kStep,
                    mark::kFacet, ToColorRef(facet.colour));
    }

    const UniqueFont font = CreateSansFont(face, 25, FW_BOLD, ANTIALIASED_QUALITY);
    DrawTextLine(dc, "Halvorn", centreX, 115, TA_CENTER, font.Get(), kInk);
}

// The product's name over the word Setup, in the top-right field.
void DrawProductTitle(HDC dc, const std::string& face) {
    const int left = kRuleX + 32;
    const UniqueFont name = CreateSansFont(face, 48, FW_BOLD, ANTIALIASED_QUALITY);
    DrawTextLine(dc, "Norvista", left - 2, 68, TA_LEFT, name.Get(), kInk);
    FillRectangle(dc, left, 82, left + 36, 85, kTeal);
    const UniqueFont setup = CreateSansFont(face, 22, FW_NORMAL, ANTIALIASED_QUALITY);
    DrawTextLine(dc, "Setup", left, 110, TA_LEFT, setup.Get(), kSubtleInk);
}

void DrawMakerNotice(HDC dc, const std::string& face) {
    const UniqueFont font = CreateSansFont(face, 11, FW_NORMAL, ANTIALIASED_QUALITY);
    DrawTextLine(dc, kMakerNotice, kRuleX / 2, kSplashHeight - 14, TA_CENTER, font.Get(),
                 kSubtleInk);
}

// A glyph's coverage: one byte a pixel from 0 (empty) to kFullCoverage, rows top-down.
struct GlyphMask {
    static constexpr int kFullCoverage = 64;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;
};

GLYPHMETRICS MeasureGlyph(HDC dc, char character) {
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS metrics{};
    if (GetGlyphOutlineA(dc, static_cast<unsigned char>(character), GGO_METRICS, &metrics, 0,
                         nullptr, &identity) == GDI_ERROR) {
        throw Error(kNoOutline);
    }
    return metrics;
}

GlyphMask RenderGlyph(HDC dc, char character) {
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS metrics{};
    const UINT code = static_cast<unsigned char>(character);
    const DWORD size =
        GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity);
    if (size == GDI_ERROR || size == 0) {
        throw Error(kNoOutline);
    }
    std::vector<std::uint8_t> rows(size);
    if (GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, size, rows.data(), &identity) ==
        GDI_ERROR) {
        throw Error(kNoOutline);
    }
    GlyphMask mask;
    mask.width = static_cast<int>(metrics.gmBlackBoxX);
    mask.height = static_cast<int>(metrics.gmBlackBoxY);
    const int pitch = (mask.width + 3) & ~3;  // rows are padded to whole DWORDs
    if (static_cast<DWORD>(pitch) * metrics.gmBlackBoxY > size) {
        throw Error(kNoOutline);
    }
    mask.coverage.resize(static_cast<std::size_t>(mask.width) * mask.height);
    for (int y = 0; y < mask.height; ++y) {
        std::memcpy(&mask.coverage[static_cast<std::size_t>(y) * mask.width],
                    &rows[static_cast<std::size_t>(y) * pitch], mask.width);
    }
    return mask;
}

// Lays the mask in one colour over the 32-bit premultiplied pixels with its top-left corner at
// (left, top). Fully covered pixels get exactly the colour; the edges blend.
void Paint(std::uint32_t* pixels, int width, int height, const GlyphMask& mask, int left, int top,
           COLORREF colour) {
    const std::uint32_t red = GetRValue(colour);
    const std::uint32_t green = GetGValue(colour);
    const std::uint32_t blue = GetBValue(colour);
    for (int y = std::max(0, -top); y < mask.height && top + y < height; ++y) {
        for (int x = std::max(0, -left); x < mask.width && left + x < width; ++x) {
            const std::uint32_t coverage =
                mask.coverage[static_cast<std::size_t>(y) * mask.width + x];
            if (coverage == 0) {
                continue;
            }
            const std::uint32_t alpha =
                (coverage * 255 + GlyphMask::kFullCoverage / 2) / GlyphMask::kFullCoverage;
            const std::size_t at = static_cast<std::size_t>(top + y) * width + left + x;
            const std::uint32_t under = pixels[at];
            auto blend = [alpha, under](std::uint32_t source, int shift) {
                const std::uint32_t below = (under >> shift) & 0xFFU;
                return ((source * alpha + below * (255 - alpha) + 127) / 255) << shift;
            };
            pixels[at] = blend(255, 24) | blend(red, 16) | blend(green, 8) | blend(blue, 0);
        }
    }
}

}  // namespace

UniqueBitmap DrawSplashPicture() {
    Dib dib = CreateTopDownDib(kSplashWidth, kSplashHeight, 24);
    const UniqueMemoryDc dc = CreateMemoryDc();
    SelectedObject bitmap(dc.Get(), dib.bitmap.Get());
    FillRectangle(dc.Get(), 0, 0, kSplashWidth, kSplashHeight, kWhite);
    FillRectangle(dc.Get(), kRuleX, 0, kRuleX + 1, kSplashHeight, kRule);
    FillRectangle(dc.Get(), 0, kRuleY, kSplashWidth, kRuleY + 1, kRule);

    const std::string face = ChooseFace(dc.Get());
    DrawMakerLogo(dc.Get(), face);
    DrawProductTitle(dc.Get(), face);
    DrawMakerNotice(dc.Get(), face);
    GdiFlush();
    return std::move(dib.bitmap);
}

UniqueBitmap DrawStepPicture(int index) {
    if (index < 0 || index >= kStepPictureCount) {
        throw Error("There is no step picture " + std::to_string(index) + "; the steps are 0 to " +
                    std::to_string(kStepPictureCount - 1) + ".");
    }
    const UniqueMemoryDc dc = CreateMemoryDc();
    const std::string face = ChooseFace(dc.Get());

    // Size the font so that the digit '0' is kDigitHeight pixels tall.
    const int probeHeight = 100;
    const UniqueFont probe = CreateSansFont(face, probeHeight, FW_BOLD, ANTIALIASED_QUALITY);
    int measured = 0;
    {
        SelectedObject selected(dc.Get(), probe.Get());
        measured = static_cast<int>(MeasureGlyph(dc.Get(), '0').gmBlackBoxY);
    }
    const int emHeight = probeHeight * kDigitHeight / std::max(measured, 1);
    const UniqueFont font = CreateSansFont(face, emHeight, FW_BOLD, ANTIALIASED_QUALITY);
    GlyphMask mask;
    {
        SelectedObject selected(dc.Get(), font.Get());
        mask = RenderGlyph(dc.Get(), static_cast<char>('1' + index));
    }

    Dib dib = CreateTopDownDib(kStepPictureWidth, kStepPictureHeight, 32);
    auto* pixels = static_cast<std::uint32_t*>(dib.bits);
    std::fill_n(pixels, kStepPictureWidth * kStepPictureHeight, 0U);
    const int left = (kStepPictureWidth - mask.width - kShadowOffset) / 2;
    const int top = (kStepPictureHeight - mask.height - kShadowOffset) / 2;
    Paint(pixels, kStepPictureWidth, kStepPictureHeight, mask, left + kShadowOffset,
          top + kShadowOffset, kShadow);
    Paint(pixels, kStepPictureWidth, kStepPictureHeight, mask, left, top, kTeal);
    return std::move(dib.bitmap);
}

}  // namespace nv::wizard
