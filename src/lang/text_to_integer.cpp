#include "lang/text_to_integer.h"

#include <string>

#include "base/text.h"
#include "toolkit/graphics.h"
#include "toolkit/text.h"

namespace nv::lang {
namespace {

using toolkit::RgbColor;
using toolkit::SystemColor;

struct Ident {
    const char* name;
    std::int32_t value;
};

constexpr Ident kCursors[] = {
    {"crDefault", 0},   {"crArrow", -2},      {"crCross", -3},      {"crIBeam", -4},
    {"crSizeNESW", -6}, {"crSizeNS", -7},     {"crSizeNWSE", -8},   {"crSizeWE", -9},
    {"crUpArrow", -10}, {"crHourGlass", -11}, {"crDrag", -12},      {"crNoDrop", -13},
    {"crHSplit", -14},  {"crVSplit", -15},    {"crMultiDrag", -16}, {"crSQLWait", -17},
    {"crNo", -18},      {"crAppStart", -19},  {"crHelp", -20},      {"crHandPoint", -21},
    {"crSizeAll", -22}, {"crSize", -22},
};

constexpr Ident kColors[] = {
    // Plain colours.
    {"clBlack", RgbColor(0, 0, 0)},
    {"clMaroon", RgbColor(128, 0, 0)},
    {"clGreen", RgbColor(0, 128, 0)},
    {"clOlive", RgbColor(128, 128, 0)},
    {"clNavy", RgbColor(0, 0, 128)},
    {"clPurple", RgbColor(128, 0, 128)},
    {"clTeal", RgbColor(0, 128, 128)},
    {"clGray", RgbColor(128, 128, 128)},
    {"clSilver", RgbColor(192, 192, 192)},
    {"clRed", RgbColor(255, 0, 0)},
    {"clLime", RgbColor(0, 255, 0)},
    {"clYellow", RgbColor(255, 255, 0)},
    {"clBlue", RgbColor(0, 0, 255)},
    {"clFuchsia", RgbColor(255, 0, 255)},
    {"clAqua", RgbColor(0, 255, 255)},
    {"clWhite", RgbColor(255, 255, 255)},
    {"clMoneyGreen", RgbColor(192, 220, 192)},
    {"clSkyBlue", RgbColor(166, 202, 240)},
    {"clCream", RgbColor(255, 251, 240)},
    {"clMedGray", RgbColor(160, 160, 164)},
    // System colours: the system-colour index with the top bit set.
    {"clActiveBorder", SystemColor(10)},
    {"clActiveCaption", SystemColor(2)},
    {"clAppWorkSpace", SystemColor(12)},
    {"clBackground", SystemColor(1)},
    {"clBtnFace", SystemColor(15)},
    {"clBtnHighlight", SystemColor(20)},
    {"clBtnShadow", SystemColor(16)},
    {"clBtnText", SystemColor(18)},
    {"clCaptionText", SystemColor(9)},
    {"clGradientActiveCaption", SystemColor(27)},
    {"clGradientInactiveCaption", SystemColor(28)},
    {"clGrayText", SystemColor(17)},
    {"clHighlight", SystemColor(13)},
    {"clHighlightText", SystemColor(14)},
    {"clHotLight", SystemColor(26)},
    {"clInactiveBorder", SystemColor(11)},
    {"clInactiveCaption", SystemColor(3)},
    {"clInactiveCaptionText", SystemColor(19)},
    {"clInfoBk", SystemColor(24)},
    {"clInfoText", SystemColor(23)},
    {"clMenu", SystemColor(4)},
    {"clMenuBar", SystemColor(30)},
    {"clMenuHighlight", SystemColor(29)},
    {"clMenuText", SystemColor(7)},
    {"clScrollBar", SystemColor(0)},
    {"cl3DDkShadow", SystemColor(21)},
    {"cl3DLight", SystemColor(22)},
    {"clWindow", SystemColor(5)},
    {"clWindowFrame", SystemColor(6)},
    {"clWindowText", SystemColor(8)},
    // Special values.
    {"clDefault", 0x20000000},
    {"clNone", 0x1FFFFFFF},
};

constexpr Ident kCharsets[] = {
    {"ANSI_CHARSET", 0},     {"DEFAULT_CHARSET", 1},      {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},     {"SHIFTJIS_CHARSET", 128},   {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},  {"GB2312_CHARSET", 134},     {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},  {"TURKISH_CHARSET", 162},    {"HEBREW_CHARSET", 177},
    {"ARABIC_CHARSET", 178}, {"BALTIC_CHARSET", 186},     {"RUSSIAN_CHARSET", 204},
    {"THAI_CHARSET", 222},   {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255},
};

template <std::size_t N>
std::optional<std::int32_t> Lookup(const Ident (&table)[N], std::string_view name) {
    for (const Ident& ident : table) {
        if (SameTextIgnoreCase(ident.name, name)) {
            return ident.value;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::int32_t> IdentToCursor(std::string_view name) {
    return Lookup(kCursors, name);
}
std::optional<std::int32_t> IdentToColor(std::string_view name) {
    return Lookup(kColors, name);
}
std::optional<std::int32_t> IdentToCharset(std::string_view name) {
    return Lookup(kCharsets, name);
}

std::optional<std::int32_t> TextToInteger(std::string_view text) {
    if (auto number = toolkit::ParseInt32(text)) {
        return number;
    }
    if (auto cursor = IdentToCursor(text)) {
        return cursor;
    }
    if (auto color = IdentToColor(text)) {
        return color;
    }
    if (auto charset = IdentToCharset(text)) {
        return charset;
    }
    if (!text.empty() && text.front() == '#') {
        return toolkit::ParseInt32("$" + std::string(text.substr(1)));
    }
    return std::nullopt;
}

}  // namespace nv::lang
