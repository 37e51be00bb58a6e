#include "toolkit/text.h"

#include <gtest/gtest.h>

#include <limits>

namespace nv::toolkit {
namespace {

TEST(IntegerSyntax, AcceptsDecimalAndEveryHexadecimalPrefix) {
    EXPECT_EQ(ParseInt32("42"), 42);
    EXPECT_EQ(ParseInt32("  -17"), -17);
    EXPECT_EQ(ParseInt32("+8"), 8);
    EXPECT_EQ(ParseInt32("$FF"), 255);
    EXPECT_EQ(ParseInt32("xff"), 255);
    EXPECT_EQ(ParseInt32("X10"), 16);
    EXPECT_EQ(ParseInt32("0x1f"), 31);
    EXPECT_EQ(ParseInt32("0X1F"), 31);
    EXPECT_EQ(ParseInt32("-$10"), -16);
}

TEST(IntegerSyntax, RejectsPartialTextsAndEmptyDigits) {
    EXPECT_FALSE(ParseInt32(""));
    EXPECT_FALSE(ParseInt32("   "));
    EXPECT_FALSE(ParseInt32("-"));
    EXPECT_FALSE(ParseInt32("$"));
    EXPECT_FALSE(ParseInt32("0x"));
    EXPECT_FALSE(ParseInt32("12 "));  // trailing blanks are not part of the syntax
    EXPECT_FALSE(ParseInt32("12a"));
    EXPECT_FALSE(ParseInt32("1.5"));
    EXPECT_FALSE(ParseInt32("clRed"));
    EXPECT_FALSE(ParseInt32("\t5"));  // only blanks may lead
}

TEST(IntegerSyntax, KeepsTo32BitsAtBothEnds) {
    EXPECT_EQ(ParseInt32("2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ParseInt32("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_FALSE(ParseInt32("2147483648"));
    EXPECT_FALSE(ParseInt32("-2147483649"));
    EXPECT_FALSE(ParseInt32("$100000000"));
    EXPECT_EQ(ParseInt32("$FFFFFFFF"), -1);  // hexadecimal uses all 32 bits
    EXPECT_EQ(ParseInt32("$80000005"), std::numeric_limits<std::int32_t>::min() + 5);
    EXPECT_EQ(ParseInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(ParseInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_FALSE(ParseInt64("9223372036854775808"));
    EXPECT_FALSE(ParseInt64("99999999999999999999999"));
}

TEST(FloatSyntax, AcceptsPlainNumbersOnly) {
    EXPECT_DOUBLE_EQ(*ParseFloat("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(*ParseFloat(" -2e3 "), -2000.0);
    EXPECT_DOUBLE_EQ(*ParseFloat("+.25"), 0.25);
    EXPECT_FALSE(ParseFloat("1,5"));
    EXPECT_FALSE(ParseFloat("inf"));
    EXPECT_FALSE(ParseFloat("nan"));
    EXPECT_FALSE(ParseFloat("1e"));
    EXPECT_FALSE(ParseFloat("."));
    EXPECT_FALSE(ParseFloat("1e999"));
}

}  // namespace
}  // namespace nv::toolkit
