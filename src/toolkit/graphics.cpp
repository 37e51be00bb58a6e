#include "toolkit/graphics.h"

#include <cstddef>
#include <utility>

#include "base/error.h"
#include "toolkit/property_types.h"

namespace nv::toolkit {
namespace {

constexpr std::string_view kFontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

}  // namespace

const ClassInfo& TFont::StaticClass() {
    static const ClassInfo info(
        "TFont", &TPersistent::StaticClass(),
        MakePropertyList(IntegerProp("Charset", &TFont::Charset, &TFont::SetCharset),
                         IntegerProp("Color", &TFont::Color, &TFont::SetColor),
                         IntegerProp("Height", &TFont::Height, &TFont::SetHeight),
                         TextProp("Name", &TFont::Name, &TFont::SetName),
                         SetProp("Style", kFontStyleNames, &TFont::Style, &TFont::SetStyle)));
    return info;
}

void TFont::Assign(const TFont* source) {
    if (source == this) {
        return;
    }
    const TFont defaults;
    const TFont& from = source != nullptr ? *source : defaults;
    name_ = from.name_;
    height_ = from.height_;
    color_ = from.color_;
    style_ = from.style_;
    charset_ = from.charset_;
    Changed();
}

void TFont::Changed() const {
    if (OnChange) {
        OnChange();
    }
}

const ClassInfo& TPicture::StaticClass() {
    static const ClassInfo info("TPicture", &TPersistent::StaticClass());
    return info;
}

void TPicture::SetBitmap(Bitmap bitmap) {
    const bool empty = bitmap.width == 0 && bitmap.height == 0 && bitmap.pixels.empty();
    if (!empty && (bitmap.width <= 0 || bitmap.height <= 0 ||
                   bitmap.pixels.size() != static_cast<std::size_t>(bitmap.width) *
                                               static_cast<std::size_t>(bitmap.height))) {
        throw Error("Invalid picture: its pixels do not match its size");
    }
    bitmap_ = std::move(bitmap);
    if (OnChange) {
        OnChange();
    }
}

void TPicture::Assign(const TPicture* source) {
    if (source == this) {
        return;
    }
    SetBitmap(source != nullptr ? source->bitmap_ : Bitmap{});
}

}  // namespace nv::toolkit
