// Draws the wizard's pictures and checks them pixel by pixel. With "--dump DIR" it also writes
// them as .bmp files into DIR, so a person can look at them. The last line printed is
// "N passed, M failed"; the exit code is non-zero when a check failed.

#include <windows.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "installer/pictures.h"

namespace {

using nv::UniqueBitmap;
using nv::wizard::DrawSplashPicture;
using nv::wizard::DrawStepPicture;
using nv::wizard::kSplashHeight;
using nv::wizard::kSplashWidth;
using nv::wizard::kStepPictureCount;
using nv::wizard::kStepPictureHeight;
using nv::wizard::kStepPictureWidth;

int passedCount = 0;
int failedCount = 0;

bool Check(bool ok, const char* what, const char* file, int line, const std::string& detail) {
    if (ok) {
        ++passedCount;
    } else {
        ++failedCount;
        std::printf("FAILED %s:%d: %s%s%s\n", file, line, what, detail.empty() ? "" : " -- ",
                    detail.c_str());
    }
    return ok;
}

// NOLINTNEXTLINE(cppcoreguidelines-macro-usage): reports the failing expression and its line
#define CHECK(condition) Check(static_cast<bool>(condition), #condition, __FILE__, __LINE__, "")
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage): as above
#define CHECK_MSG(condition, detail) \
    Check(static_cast<bool>(condition), #condition, __FILE__, __LINE__, (detail))

struct Pixel {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
    std::uint8_t alpha;

    bool Is(int r, int g, int b) const { return red == r && green == g && blue == b; }
    bool IsWhite() const { return Is(255, 255, 255); }
    bool IsDark() const { return red < 128 && green < 128 && blue < 128; }
    bool IsZero() const { return red == 0 && green == 0 && blue == 0 && alpha == 0; }
};

std::string Describe(int x, int y, Pixel p) {
    return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is rgba(" +
           std::to_string(p.red) + ", " + std::to_string(p.green) + ", " + std::to_string(p.blue) +
           ", " + std::to_string(p.alpha) + ")";
}

// A bitmap read back through GetDIBits as 32-bit top-down pixels. For a 24-bit source the
// alpha byte reads as zero.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;

    Pixel At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Image ReadBack(HBITMAP bitmap) {
    Image image;
    BITMAP header{};
    if (GetObjectA(bitmap, sizeof(header), &header) == 0) {
        return image;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = header.bmWidth;
    info.bmiHeader.biHeight = -header.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<Pixel> pixels(static_cast<std::size_t>(header.bmWidth) * header.bmHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    const int rows =
        GetDIBits(dc, bitmap, 0, header.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (rows == header.bmHeight) {
        image.width = header.bmWidth;
        image.height = header.bmHeight;
        image.pixels = std::move(pixels);
    }
    return image;
}

// Checks that bitmap is a DIB section of the given size and depth whose rows lie top-down in
// memory, matching the pixels read back through GetDIBits.
void CheckFormat(HBITMAP bitmap, const Image& image, int width, int height, int bitCount) {
    DIBSECTION section{};
    const int size = GetObjectA(bitmap, sizeof(section), &section);
    CHECK_MSG(size == static_cast<int>(sizeof(section)), "not a DIB section");
    CHECK(section.dsBm.bmWidth == width);
    CHECK(section.dsBm.bmHeight == height);
    CHECK(section.dsBm.bmBitsPixel == bitCount);
    if (!CHECK(section.dsBm.bmBits != nullptr && image.width == width && image.height == height)) {
        return;
    }
    const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    const int bytesPerPixel = bitCount / 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* stored = bits +
                                         static_cast<std::size_t>(y) * section.dsBm.bmWidthBytes +
                                         static_cast<std::size_t>(x) * bytesPerPixel;
            const Pixel p = image.At(x, y);
            if (stored[0] != p.blue || stored[1] != p.green || stored[2] != p.red) {
                CHECK_MSG(false,
                          "memory row " + std::to_string(y) + " differs from " + Describe(x, y, p));
                return;
            }
        }
    }
    CHECK(true);
}

// Counts the pixels of the rectangle [left, right) x [top, bottom) that match.
template <typename Predicate>
int Count(const Image& image, int left, int top, int right, int bottom, Predicate match) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += match(image.At(x, y)) ? 1 : 0;
        }
    }
    return count;
}

// Checks that every pixel of the rectangle is white; reports the first that is not.
void CheckAllWhite(const Image& image, int left, int top, int right, int bottom, const char* what) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (!image.At(x, y).IsWhite()) {
                CHECK_MSG(false, std::string(what) + ": " + Describe(x, y, image.At(x, y)));
                return;
            }
        }
    }
    CHECK(true);
}

// --- the background picture -------------------------------------------------------------

void TestSplashFormat(const UniqueBitmap& splash, const Image& image) {
    CheckFormat(splash.Get(), image, kSplashWidth, kSplashHeight, 24);
}

void TestSplashRules(const Image& image) {
    const int ruleX = 205;
    const int ruleY = 138;
    for (int y = 0; y < kSplashHeight; ++y) {
        if (!CHECK_MSG(image.At(ruleX, y).IsDark(), Describe(ruleX, y, image.At(ruleX, y)))) {
            break;
        }
    }
    for (int x = 0; x < kSplashWidth; ++x) {
        if (!CHECK_MSG(image.At(x, ruleY).IsDark(), Describe(x, ruleY, image.At(x, ruleY)))) {
            break;
        }
    }
    // One pixel wide: nothing is drawn against either side of a rule.
    CheckAllWhite(image, ruleX - 1, 0, ruleX, ruleY, "left of the vertical rule, top");
    CheckAllWhite(image, ruleX - 1, ruleY + 1, ruleX, kSplashHeight,
                  "left of the vertical rule, bottom");
    CheckAllWhite(image, ruleX + 1, 0, ruleX + 2, ruleY, "right of the vertical rule, top");
    CheckAllWhite(image, ruleX + 1, ruleY + 1, ruleX + 2, kSplashHeight,
                  "right of the vertical rule, bottom");
    CheckAllWhite(image, 0, ruleY - 1, ruleX, ruleY, "above the horizontal rule, left");
    CheckAllWhite(image, ruleX + 1, ruleY - 1, kSplashWidth, ruleY,
                  "above the horizontal rule, right");
    CheckAllWhite(image, 0, ruleY + 1, ruleX, ruleY + 2, "below the horizontal rule, left");
    CheckAllWhite(image, ruleX + 1, ruleY + 1, kSplashWidth, ruleY + 2,
                  "below the horizontal rule, right");
}

void TestSplashGround(const Image& image) {
    // The page panels cover the page area, and the step picture sits in the left field.
    CheckAllWhite(image, 206, 139, kSplashWidth, kSplashHeight, "page area");
    CheckAllWhite(image, 46, 240, 156, 385, "step picture box");
    CheckAllWhite(image, 0, 139, 205, 460, "left field above the notice");
    // The corners of the two upper fields stay free around the drawings.
    for (const POINT p :
         {POINT{0, 0}, POINT{204, 0}, POINT{0, 137}, POINT{204, 137}, POINT{206, 0}, POINT{649, 0},
          POINT{206, 137}, POINT{649, 137}, POINT{0, 499}, POINT{204, 499}}) {
        CHECK_MSG(image.At(p.x, p.y).IsWhite(), Describe(p.x, p.y, image.At(p.x, p.y)));
    }
}

void TestSplashDrawings(const Image& image) {
    auto isTeal = [](Pixel p) { return p.Is(7, 168, 155); };
    auto isInked = [](Pixel p) { return p.IsDark(); };
    auto isMarked = [](Pixel p) { return !p.IsWhite(); };
    // The logo: a mark with teal facets and the maker's name in dark ink.
    CHECK(Count(image, 0, 0, 205, 138, isTeal) > 100);
    CHECK(Count(image, 0, 80, 205, 138, isInked) > 200);
    // The product name: large dark letters, then the word Setup below them.
    CHECK(Count(image, 206, 20, kSplashWidth, 80, isInked) > 1000);
    CHECK(Count(image, 206, 98, kSplashWidth, 130, isMarked) > 100);
    // The maker's notice at the bottom of the left field.
    CHECK(Count(image, 0, 460, 205, kSplashHeight, isMarked) > 40);
}

// --- the step pictures ----------------------------------------------------------------------

void TestStepFormat(const UniqueBitmap& picture, const Image& image) {
    CheckFormat(picture.Get(), image, kStepPictureWidth, kStepPictureHeight, 32);
}

void TestStepColours(const Image& image, int index) {
    const std::string which = "step picture " + std::to_string(index);
    const int body = Count(image, 0, 0, image.width, image.height,
                           [](Pixel p) { return p.Is(7, 168, 155) && p.alpha == 255; });
    CHECK_MSG(body > 1200, which + " has " + std::to_string(body) + " body pixels");
    const int shadow = Count(image, 0, 0, image.width, image.height, [](Pixel p) {
        return p.red == p.green && p.green == p.blue && p.red >= 100 && p.red <= 220 &&
               p.alpha == 255;
    });
    CHECK_MSG(shadow > 60, which + " has " + std::to_string(shadow) + " shadow pixels");
    // The shadow lies below and to the right of the figure.
    const int teal =
        Count(image, 0, 0, image.width, image.height, [](Pixel p) { return p.green > p.red + 60; });
    int tealX = 0;
    int greyX = 0;
    int tealY = 0;
    int greyY = 0;
    int grey = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Pixel p = image.At(x, y);
            if (p.green > p.red + 60) {
                tealX += x;
                tealY += y;
            } else if (p.alpha == 255 && p.red == p.green && p.green == p.blue) {
                greyX += x;
                greyY += y;
                ++grey;
            }
        }
    }
    if (CHECK(teal > 0 && grey > 0)) {
        CHECK_MSG(greyX / grey > tealX / teal && greyY / grey > tealY / teal,
                  which + ": shadow not offset down and right");
    }
}

void TestStepGround(const Image& image, int index) {
    const std::string which = "step picture " + std::to_string(index);
    for (const POINT p :
         {POINT{0, 0}, POINT{kStepPictureWidth - 1, 0}, POINT{0, kStepPictureHeight - 1},
          POINT{kStepPictureWidth - 1, kStepPictureHeight - 1}}) {
        CHECK_MSG(image.At(p.x, p.y).IsZero(),
                  which + ": " + Describe(p.x, p.y, image.At(p.x, p.y)));
    }
    // A margin all round is empty ground, so the figure is never cut off.
    const int margin = 4;
    const int marked =
        Count(image, 0, 0, image.width, image.height, [](Pixel p) { return !p.IsZero(); }) -
        Count(image, margin, margin, image.width - margin, image.height - margin,
              [](Pixel p) { return !p.IsZero(); });
    CHECK_MSG(marked == 0, which + " draws into its margin");
    // Every pixel is ground or a valid premultiplied colour.
    const int invalid = Count(image, 0, 0, image.width, image.height, [](Pixel p) {
        return (p.alpha == 0 && !p.IsZero()) || p.red > p.alpha || p.green > p.alpha ||
               p.blue > p.alpha;
    });
    CHECK_MSG(invalid == 0, which + " has " + std::to_string(invalid) + " invalid pixels");
}

int CountDifferences(const Image& a, const Image& b) {
    int differences = 0;
    for (std::size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
        differences += a.pixels[i].IsZero() != b.pixels[i].IsZero() ? 1 : 0;
    }
    return differences;
}

void TestStepPictures(std::vector<Image>& images) {
    for (int index = 0; index < kStepPictureCount; ++index) {
        const UniqueBitmap picture = DrawStepPicture(index);
        if (!CHECK(picture)) {
            return;
        }
        images.push_back(ReadBack(picture.Get()));
        TestStepFormat(picture, images.back());
        if (!CHECK(images.back().width == kStepPictureWidth)) {
            return;
        }
        TestStepColours(images.back(), index);
        TestStepGround(images.back(), index);
    }
    for (int a = 0; a < kStepPictureCount; ++a) {
        for (int b = a + 1; b < kStepPictureCount; ++b) {
            const int differences = CountDifferences(images[a], images[b]);
            CHECK_MSG(differences > 300, "pictures " + std::to_string(a) + " and " +
                                             std::to_string(b) + " differ in only " +
                                             std::to_string(differences) + " pixels");
        }
    }
    // Drawing is deterministic.
    const Image again = ReadBack(DrawStepPicture(2).Get());
    CHECK(again.width == kStepPictureWidth && CountDifferences(again, images[2]) == 0);
}

void TestStepIndexRejected() {
    for (const int index : {-1, kStepPictureCount, 1000, INT_MIN, INT_MAX}) {
        std::string message;
        try {
            DrawStepPicture(index);
        } catch (const nv::Error& error) {
            message = error.what();
        }
        CHECK_MSG(message.find(std::to_string(index)) != std::string::npos,
                  "index " + std::to_string(index) + " gave \"" + message + "\"");
    }
}

// --- ownership ------------------------------------------------------------------------------

bool IsLiveBitmap(HBITMAP bitmap) {
    return GetObjectType(bitmap) == OBJ_BITMAP;
}

void TestOwnership() {
    UniqueBitmap first = DrawStepPicture(0);
    HBITMAP handle = first.Get();
    CHECK(IsLiveBitmap(handle));

    UniqueBitmap second(std::move(first));
    CHECK(!first && second.Get() == handle);  // NOLINT(bugprone-use-after-move): checked on purpose
    CHECK(IsLiveBitmap(handle));

    UniqueBitmap third;
    third = std::move(second);
    CHECK(!second && third.Get() == handle);  // NOLINT(bugprone-use-after-move): as above

    third = DrawStepPicture(1);  // replacing the handle deletes the old bitmap
    CHECK(!IsLiveBitmap(handle));

    HBITMAP released = third.Release();
    CHECK(!third && IsLiveBitmap(released));
    third.Reset(released);
    third.Reset();
    CHECK(!IsLiveBitmap(released));

    HBITMAP scopedHandle = nullptr;
    {
        const UniqueBitmap scoped = DrawSplashPicture();
        scopedHandle = scoped.Get();
        CHECK(IsLiveBitmap(scopedHandle));
    }
    CHECK(!IsLiveBitmap(scopedHandle));  // leaving the scope deletes the bitmap
}

// Drawing leaves no GDI object behind (fonts, the memory DC, the bitmap once released).
void TestNoLeaks() {
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int round = 0; round < 20; ++round) {
        const UniqueBitmap splash = DrawSplashPicture();
        const UniqueBitmap step = DrawStepPicture(round % kStepPictureCount);
    }
    const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0 && after == 0) {
        std::printf("note: GDI object counts are not reported here; leak check skipped\n");
        return;
    }
    CHECK_MSG(after <= before,
              std::to_string(before) + " GDI objects before, " + std::to_string(after) + " after");
}

// --- dumping for people ---------------------------------------------------------------------

// Writes the pixels as a 24-bit .bmp file, composing premultiplied pixels onto white.
bool WriteBmp(const std::string& path, const Image& image, bool onWhite) {
    const int stride = (image.width * 3 + 3) & ~3;
    const DWORD dataSize = static_cast<DWORD>(stride) * image.height;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + dataSize;
    info.biSize = sizeof(info);
    info.biWidth = image.width;
    info.biHeight = -image.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = dataSize;
    std::vector<std::uint8_t> data(dataSize);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Pixel p = image.At(x, y);
            const int lift = onWhite ? 255 - p.alpha : 0;
            std::uint8_t* out =
                &data[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3];
            out[0] = static_cast<std::uint8_t>(p.blue + lift);
            out[1] = static_cast<std::uint8_t>(p.green + lift);
            out[2] = static_cast<std::uint8_t>(p.red + lift);
        }
    }
    FILE* stream = std::fopen(path.c_str(), "wb");
    if (stream == nullptr) {
        return false;
    }
    const bool written = std::fwrite(&file, sizeof(file), 1, stream) == 1 &&
                         std::fwrite(&info, sizeof(info), 1, stream) == 1 &&
                         std::fwrite(data.data(), 1, data.size(), stream) == data.size();
    return std::fclose(stream) == 0 && written;
}

// The background with step picture 0 laid on it as the wizard shows it.
Image Preview() {
    const UniqueBitmap splash = DrawSplashPicture();
    const UniqueBitmap step = DrawStepPicture(0);
    HDC target = CreateCompatibleDC(nullptr);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ oldTarget = SelectObject(target, splash.Get());
    HGDIOBJ oldSource = SelectObject(source, step.Get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const bool blended = AlphaBlend(target, 46, 240, kStepPictureWidth, kStepPictureHeight, source,
                                    0, 0, kStepPictureWidth, kStepPictureHeight, blend) != FALSE;
    CHECK_MSG(blended, "AlphaBlend failed");
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    return ReadBack(splash.Get());
}

void Dump(const std::string& folder, const Image& splash, const std::vector<Image>& steps) {
    const std::string prefix = folder + "\\";
    CHECK_MSG(WriteBmp(prefix + "splash.bmp", splash, false), prefix + "splash.bmp");
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const std::string name = prefix + "step-" + std::to_string(i + 1);
        CHECK_MSG(WriteBmp(name + ".bmp", steps[i], false), name + ".bmp");
        CHECK_MSG(WriteBmp(name + "-on-white.bmp", steps[i], true), name + "-on-white.bmp");
    }
    CHECK_MSG(WriteBmp(prefix + "preview.bmp", Preview(), false), prefix + "preview.bmp");
}

}  // namespace

int main(int argc, char** argv) {
    std::string dumpFolder;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--dump" && i + 1 < argc) {
            dumpFolder = argv[++i];
        } else {
            std::printf("usage: nv_pictures_test [--dump FOLDER]\n");
            return 2;
        }
    }

    try {
        const UniqueBitmap splash = DrawSplashPicture();
        CHECK(splash);
        const Image image = ReadBack(splash.Get());
        TestSplashFormat(splash, image);
        if (CHECK(image.width == kSplashWidth && image.height == kSplashHeight)) {
            TestSplashRules(image);
            TestSplashGround(image);
            TestSplashDrawings(image);
        }

        std::vector<Image> steps;
        TestStepPictures(steps);
        TestStepIndexRejected();
        TestOwnership();
        TestNoLeaks();

        if (!dumpFolder.empty()) {
            CreateDirectoryA(dumpFolder.c_str(), nullptr);
            Dump(dumpFolder, image, steps);
        }
    } catch (const std::exception& error) {
        CHECK_MSG(false, std::string("unexpected exception: ") + error.what());
    }

    std::printf("%d passed, %d failed\n", passedCount, failedCount);
    return failedCount == 0 ? 0 : 1;
}
