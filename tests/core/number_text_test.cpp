// The one parser for typed numbers: what passes, what is refused, and that the value checked is
// the value converted.
#include <gtest/gtest.h>

#include <cmath>

#include "comm/NumberText.h"

namespace {

TEST(NumberTextTest, PlainDecimalsPass) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"0", 0}, {"12", 12}, {"-9.99", -9.99}, {"+1.5", 1.5}, {".5", 0.5}, {"5.", 5}, {" 07 ", 7}, {"-0.001", -0.001},
    };
    for (const auto& c : cases) {
        double value = 123;
        EXPECT_TRUE(ParseDecimalText(wxString::FromUTF8(c.text), &value)) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
}

TEST(NumberTextTest, EverythingElseIsRefusedAndLeavesTheResult) {
    const char* const bad[] = {"", " ", "nan", "NaN", "inf", "-inf", "infinity", "0x10", "1e3", "1E-2", "1,5",
                               "1.2.3", "--1", "+", "-", ".", "12a", "a12", "1 2", "½", "１"};
    for (const char* text : bad) {
        double value = 42;
        EXPECT_FALSE(ParseDecimalText(wxString::FromUTF8(text), &value)) << text;
        EXPECT_EQ(value, 42) << text;
        long integer = 42;
        EXPECT_FALSE(ParseIntegerText(wxString::FromUTF8(text), &integer)) << text;
        DecimalValue decimal{7, 1};
        EXPECT_FALSE(ParseDecimalValueText(wxString::FromUTF8(text), &decimal)) << text;
        EXPECT_EQ(decimal.mantissa, 7) << text;
    }
}

TEST(NumberTextTest, IntegersAreBaseTenWithoutAPoint) {
    long value = 0;
    EXPECT_TRUE(ParseIntegerText(wxASCII_STR("07"), &value));
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(ParseIntegerText(wxASCII_STR("-23"), &value));
    EXPECT_EQ(value, -23);
    EXPECT_FALSE(ParseIntegerText(wxASCII_STR("7.5"), &value));
    EXPECT_FALSE(ParseIntegerText(wxASCII_STR("99999999999999999999999"), &value));
}

TEST(NumberTextTest, DecimalValuesTakeTheirDecimalsFromTheTextAndSaturate) {
    const struct {
        const char* text;
        int mantissa;
        int decimals;
    } cases[] = {
        {"5", 5, 0}, {"5.0", 50, 1}, {"12.34", 1234, 2}, {"1.5", 15, 1}, {"-0.125", -125, 3}, {"123456", 10000, 0},
    };
    for (const auto& c : cases) {
        DecimalValue value;
        ASSERT_TRUE(ParseDecimalValueText(wxString::FromUTF8(c.text), &value)) << c.text;
        EXPECT_EQ(value.mantissa, c.mantissa) << c.text;
        EXPECT_EQ(value.decimals, c.decimals) << c.text;
    }
}

TEST(NumberTextTest, RoundingIsHalfAwayFromZero) {
    EXPECT_EQ(RoundHalfAway(1.235 * 100), 124);
    EXPECT_EQ(RoundHalfAway(1.23 * 100), 123);
    EXPECT_EQ(RoundHalfAway(-1.23 * 100), -123);
    EXPECT_EQ(RoundHalfAway(0.0125 * 1000), 13);
    EXPECT_EQ(RoundHalfAway(-0.0125 * 1000), -12);
    EXPECT_EQ(RoundHalfAway(-0.0126 * 1000), -13);
}

}  // namespace
