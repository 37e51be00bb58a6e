#include "lang/text_to_integer.h"

#include <gtest/gtest.h>

namespace nv::lang {
namespace {

TEST(TextToInteger, NumbersComeFirst) {
    EXPECT_EQ(TextToInteger("12"), 12);
    EXPECT_EQ(TextToInteger(" -5"), -5);
    EXPECT_EQ(TextToInteger("$10"), 16);
    EXPECT_EQ(TextToInteger("0x10"), 16);
}

TEST(TextToInteger, IdentifierTablesWithoutCase) {
    EXPECT_EQ(TextToInteger("crHandPoint"), -21);
    EXPECT_EQ(TextToInteger("CRSIZE"), -22);
    EXPECT_EQ(TextToInteger("crSizeAll"), -22);
    EXPECT_EQ(TextToInteger("crDefault"), 0);
    EXPECT_EQ(TextToInteger("clRed"), 255);
    EXPECT_EQ(TextToInteger("clred"), 255);
    EXPECT_EQ(TextToInteger("clSkyBlue"), 166 + 202 * 256 + 240 * 65536);
    EXPECT_EQ(TextToInteger("clMedGray"), 160 + 160 * 256 + 164 * 65536);
    EXPECT_EQ(TextToInteger("clBtnFace"), static_cast<std::int32_t>(0x8000000FU));
    EXPECT_EQ(TextToInteger("clScrollBar"), static_cast<std::int32_t>(0x80000000U));
    EXPECT_EQ(TextToInteger("clMenuBar"), static_cast<std::int32_t>(0x8000001EU));
    EXPECT_EQ(TextToInteger("cl3DDkShadow"), static_cast<std::int32_t>(0x80000015U));
    EXPECT_EQ(TextToInteger("clDefault"), 0x20000000);
    EXPECT_EQ(TextToInteger("clNone"), 0x1FFFFFFF);
    EXPECT_EQ(TextToInteger("ANSI_CHARSET"), 0);
    EXPECT_EQ(TextToInteger("default_charset"), 1);
    EXPECT_EQ(TextToInteger("MAC_CHARSET"), 77);
    EXPECT_EQ(TextToInteger("EASTEUROPE_CHARSET"), 238);
    EXPECT_EQ(TextToInteger("OEM_CHARSET"), 255);
}

TEST(TextToInteger, EachTableAnswersOnlyForItsOwnNames) {
    EXPECT_EQ(IdentToCursor("crNo"), -18);
    EXPECT_FALSE(IdentToCursor("clRed"));
    EXPECT_FALSE(IdentToColor("crNo"));
    EXPECT_FALSE(IdentToCharset("clRed"));
    EXPECT_EQ(IdentToCharset("THAI_CHARSET"), 222);
}

TEST(TextToInteger, HashTakesHexDigitsAsTheyStand) {
    EXPECT_EQ(TextToInteger("#0000FF"), 255);  // the same as clRed: no byte reordering
    EXPECT_EQ(TextToInteger("#FF0000"), 0xFF0000);
    EXPECT_EQ(TextToInteger("#ff"), 255);
    EXPECT_FALSE(TextToInteger("#"));
    EXPECT_FALSE(TextToInteger("#GG"));
    EXPECT_FALSE(TextToInteger("#-1"));
    EXPECT_FALSE(TextToInteger("# 1"));
    EXPECT_FALSE(TextToInteger("#123456789"));
}

TEST(TextToInteger, EverythingElseFails) {
    EXPECT_FALSE(TextToInteger(""));
    EXPECT_FALSE(TextToInteger("red"));
    EXPECT_FALSE(TextToInteger(" clRed"));  // identifiers are not trimmed
    EXPECT_FALSE(TextToInteger("clRed "));
    EXPECT_FALSE(TextToInteger("12 "));
    EXPECT_FALSE(TextToInteger("99999999999"));
}

}  // namespace
}  // namespace nv::lang
