#pragma once
// Colours, fonts and pictures of the controls.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/persistent.h"

namespace nv::toolkit {

// A colour: red + 256 * green + 65536 * blue, or 0x80000000 plus a system-colour index.
using TColor = std::int32_t;

constexpr TColor RgbColor(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}
constexpr TColor SystemColor(int index) {
    return static_cast<TColor>(0x80000000U | static_cast<std::uint32_t>(index));
}

inline constexpr TColor kClBlack = RgbColor(0, 0, 0);
inline constexpr TColor kClWhite = RgbColor(255, 255, 255);
inline constexpr TColor kClRed = RgbColor(255, 0, 0);
inline constexpr TColor kClBtnFace = SystemColor(15);
inline constexpr TColor kClWindow = SystemColor(5);
inline constexpr TColor kClWindowText = SystemColor(8);

// Font style elements, as bits of a style set.
enum class TFontStyle : std::uint32_t { Bold, Italic, Underline, StrikeOut };
constexpr std::uint32_t StyleBit(TFontStyle style) {
    return std::uint32_t{1} << static_cast<std::uint32_t>(style);
}

inline constexpr int kDefaultCharset = 1;

class TFont : public TPersistent {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { Store(name_, name); }
    // Character height in pixels; negative like the system's font height (-11 is 8 point).
    std::int32_t Height() const { return height_; }
    void SetHeight(std::int32_t height) { Store(height_, height); }
    TColor Color() const { return color_; }
    void SetColor(TColor color) { Store(color_, color); }
    std::uint32_t Style() const { return style_; }
    void SetStyle(std::uint32_t style) { Store(style_, style); }
    std::int32_t Charset() const { return charset_; }
    void SetCharset(std::int32_t charset) { Store(charset_, charset); }

    // Copies every attribute of `source`; none restores the default font.
    void Assign(const TFont* source);

    std::function<void()> OnChange;

private:
    void Changed() const;
    // Sets an attribute; every setting is reported, also of the value already held.
    template <typename T>
    void Store(T& field, const T& value) {
        field = value;
        Changed();
    }

    std::string name_ = "MS Sans Serif";
    std::int32_t height_ = -11;
    TColor color_ = kClWindowText;
    std::uint32_t style_ = 0;
    std::int32_t charset_ = kDefaultCharset;
};

// Pixels of a picture: width * height 32-bit values (0xAARRGGBB), top row first.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool Empty() const { return width <= 0 || height <= 0; }
    bool operator==(const Bitmap&) const = default;
};

class TPicture : public TPersistent {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    const Bitmap& GetBitmap() const { return bitmap_; }
    // Raises nv::Error when the pixels do not match the size.
    void SetBitmap(Bitmap bitmap);
    // Copies the picture of `source`; none clears this picture.
    void Assign(const TPicture* source);

    std::function<void()> OnChange;

private:
    Bitmap bitmap_;
};

}  // namespace nv::toolkit
