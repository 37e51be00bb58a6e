// The backend's helpers: pictures, label geometry, colours and system libraries.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "toolkit/win32/gdi_cache.h"
#include "toolkit/win32/label_metrics.h"
#include "toolkit/win32/picture_painter.h"
#include "toolkit/win32/system_library.h"

namespace nv::toolkit::win32::test {
namespace {

Bitmap Filled(int width, int height, std::uint32_t pixel) {
    return Bitmap{width, height,
                  std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), pixel)};
}

// A 32-bit surface to paint pictures on, filled with one colour.
class Canvas {
public:
    Canvas(int width, int height, std::uint32_t ground) : width_(width) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<std::uint32_t*>(bits);
        for (int i = 0; i < width * height; ++i) {
            pixels_[i] = ground;
        }
        dc_ = CreateCompatibleDC(nullptr);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas(Canvas&&) = delete;
    Canvas& operator=(Canvas&&) = delete;

    HDC Dc() const { return dc_; }
    std::uint32_t At(int x, int y) const {
        GdiFlush();
        return pixels_[y * width_ + x] & 0x00FFFFFFU;
    }

private:
    int width_;
    HBITMAP bitmap_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

TEST(PicturePainter, ClassifiesAlpha) {
    EXPECT_EQ(ClassifyAlpha(Filled(2, 2, 0x00123456)), PictureAlpha::Opaque);
    EXPECT_EQ(ClassifyAlpha(Filled(2, 2, 0xFF123456)), PictureAlpha::Opaque);
    Bitmap digit = Filled(2, 1, 0x00000000);
    digit.pixels[1] = 0x80404040;  // half-covered grey, premultiplied
    EXPECT_EQ(ClassifyAlpha(digit), PictureAlpha::Premultiplied);
    digit.pixels[1] = 0x80FF0000;  // half-covered red, not premultiplied
    EXPECT_EQ(ClassifyAlpha(digit), PictureAlpha::Straight);
}

TEST(PicturePainter, OpaquePicturesCoverAndStretch) {
    Canvas canvas(20, 20, 0x000000FF);
    PreparedPicture picture(Filled(2, 2, 0x00FF0000));  // no alpha channel: opaque red
    ASSERT_FALSE(picture.Empty());
    picture.Paint(canvas.Dc(), RECT{5, 5, 15, 15}, true);
    EXPECT_EQ(canvas.At(5, 5), 0xFF0000U);
    EXPECT_EQ(canvas.At(14, 14), 0xFF0000U);
    EXPECT_EQ(canvas.At(15, 15), 0x0000FFU);
    EXPECT_EQ(canvas.At(4, 4), 0x0000FFU);

    Canvas unstretched(20, 20, 0x000000FF);
    picture.Paint(unstretched.Dc(), RECT{5, 5, 15, 15}, false);
    EXPECT_EQ(unstretched.At(6, 6), 0xFF0000U);
    EXPECT_EQ(unstretched.At(7, 7), 0x0000FFU) << "its own size, no stretching";
}

TEST(PicturePainter, TransparentPixelsShowWhatLiesBeneath) {
    Bitmap digit = Filled(2, 1, 0x00000000);  // an all-zero ground...
    digit.pixels[1] = 0xFF07A89B;             // ...and one teal pixel
    Canvas canvas(2, 1, 0x00FFFFFF);
    PreparedPicture(digit).Paint(canvas.Dc(), RECT{0, 0, 2, 1}, false);
    EXPECT_EQ(canvas.At(0, 0), 0xFFFFFFU);
    EXPECT_EQ(canvas.At(1, 0), 0x07A89BU);

    Bitmap straight = Filled(1, 1, 0x80FF0000);  // half-covered red over white
    Canvas blended(1, 1, 0x00FFFFFF);
    PreparedPicture(straight).Paint(blended.Dc(), RECT{0, 0, 1, 1}, false);
    const std::uint32_t pixel = blended.At(0, 0);
    EXPECT_GE(pixel >> 16, 0xFEU);
    EXPECT_NEAR(static_cast<int>((pixel >> 8) & 0xFF), 0x7F, 2);
}

TEST(PicturePainter, AnEmptyPictureDrawsNothing) {
    Canvas canvas(4, 4, 0x00123456);
    PreparedPicture picture{Bitmap{}};
    EXPECT_TRUE(picture.Empty());
    picture.Paint(canvas.Dc(), RECT{0, 0, 4, 4}, true);
    EXPECT_EQ(canvas.At(1, 1), 0x123456U);
}

TEST(LabelMetrics, AutoSizeKeepsTheLeftOrTheRightEdge) {
    const RECT current{24, 88, 103, 101};
    const RECT left = AutoSizedBounds(current, SIZE{120, 13}, TAlignment::LeftJustify);
    EXPECT_EQ(left.left, 24);
    EXPECT_EQ(left.right, 144);
    EXPECT_EQ(left.bottom, 101);
    const RECT right = AutoSizedBounds(current, SIZE{120, 13}, TAlignment::RightJustify);
    EXPECT_EQ(right.right, 103);
    EXPECT_EQ(right.left, -17);
    const RECT shrunk = AutoSizedBounds(current, SIZE{10, 20}, TAlignment::RightJustify);
    EXPECT_EQ(shrunk.left, 93);
    EXPECT_EQ(shrunk.bottom, 108);
}

TEST(LabelMetrics, MeasuresTextInTheLabelsOwnFontWithTheAcceleratorMarkRemoved) {
    HWND label = CreateWindowExA(0, "STATIC", "", WS_POPUP | SS_LEFT, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(label, nullptr);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const SIZE plain = MeasureLabelText(label, "Weiter");
    const SIZE marked = MeasureLabelText(label, "&Weiter");
    EXPECT_GT(plain.cx, 0);
    EXPECT_EQ(plain.cx, marked.cx);
    // The font the label holds decides, not the device context's default one.
    const UniqueFont large(CreateFontA(-40, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif"));
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(large.Get()), FALSE);
    EXPECT_GT(MeasureLabelText(label, "Weiter").cx, plain.cx * 2);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const SIZE twoLines = MeasureLabelText(label, "one\r\ntwo");
    EXPECT_GT(twoLines.cy, plain.cy);
    EXPECT_EQ(MeasureLabelText(label, "").cy, plain.cy);
    DestroyWindow(label);
}

TEST(GdiCache, ResolvesColoursAndSharesObjects) {
    EXPECT_EQ(ToColorRef(kClRed), RGB(255, 0, 0));
    EXPECT_EQ(ToColorRef(RgbColor(7, 168, 155)), RGB(7, 168, 155));
    EXPECT_EQ(ToColorRef(kClBtnFace), GetSysColor(COLOR_BTNFACE));
    GdiCache cache;
    EXPECT_EQ(cache.Brush(kClWhite), cache.Brush(RgbColor(255, 255, 255)));
    EXPECT_NE(cache.Brush(kClWhite), cache.Brush(kClRed));
    TFont normal;
    TFont bold;
    bold.SetStyle(StyleBit(TFontStyle::Bold));
    ASSERT_NE(cache.Font(normal), nullptr);
    EXPECT_EQ(cache.Font(normal), cache.Font(TFont()));
    EXPECT_NE(cache.Font(normal), cache.Font(bold));
    LOGFONTA described{};
    GetObjectA(cache.Font(bold), sizeof described, &described);
    EXPECT_EQ(described.lfHeight, -11);
    EXPECT_EQ(described.lfWeight, FW_BOLD);
    EXPECT_STREQ(described.lfFaceName, "MS Sans Serif");
}

TEST(SystemLibrary, LoadsOnlyFromTheSystemFolder) {
    const UniqueModule richEdit = LoadSystemLibrary("riched20.dll");
    ASSERT_TRUE(richEdit);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(richEdit.Get(), path, MAX_PATH);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path,
                             static_cast<int>(lstrlenA(system)), system, -1),
              CSTR_EQUAL)
        << path;
    EXPECT_FALSE(LoadSystemLibrary("no_such_library_nv.dll"));
}

}  // namespace
}  // namespace nv::toolkit::win32::test
