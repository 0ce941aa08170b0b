// Text contrast: the ratio a text colour has against its background, and the readable colour
// chosen from the preferred one, the theme's and black or white.
#include <gtest/gtest.h>

#include <string>

#include "widgets/TextContrast.h"

namespace {
const wxColour kBlack(0, 0, 0), kWhite(255, 255, 255);
const wxColour kLightWindow(0xF6, 0xF5, 0xF4), kLightText(0x2E, 0x34, 0x36);  // a light theme's
const wxColour kDarkWindow(0x35, 0x35, 0x35), kDarkText(0xEE, 0xEE, 0xEC);    // a dark theme's

// "#RRGGBB": the colour names need the toolkit's colour database, which needs a display.
std::string Html(const wxColour& colour) { return colour.GetAsString(wxC2S_HTML_SYNTAX).utf8_string(); }
}  // namespace

// Published figures: black on white is 21:1; #767676 is the darkest grey readable on white and
// #777777 just misses.
TEST(TextContrastTest, RatioMatchesKnownFigures) {
    const struct {
        wxColour a, b;
        double ratio;
    } cases[] = {
        {kBlack, kWhite, 21.0},
        {kWhite, kBlack, 21.0},
        {wxColour(0x76, 0x76, 0x76), kWhite, 4.54},
        {wxColour(0x77, 0x77, 0x77), kWhite, 4.48},
        {kBlack, kDarkWindow, 1.71},
        {wxColour(255, 0, 0), kWhite, 4.00},  // the channels weigh differently
        {wxColour(0, 0, 255), kWhite, 8.59},
        {kDarkWindow, kDarkWindow, 1.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.01) << Html(c.a) << " on " << Html(c.b);
}

TEST(TextContrastTest, KeepsThePreferredColourWhereReadableAndElseFindsOne) {
    const wxColour midGrey(0x70, 0x70, 0x70);  // neither black nor the dark theme's text reads on it
    const struct {
        const char* name;
        wxColour themeText, background, expected;
    } cases[] = {
        {"light theme: black as always", kLightText, kLightWindow, kBlack},
        {"dark theme: its text colour", kDarkText, kDarkWindow, kDarkText},
        {"theme text as dark as its background", kLightText, kDarkWindow, kWhite},
        {"no theme colour", wxColour(), kDarkWindow, kWhite},
        {"neither reads: the better of black and white", kDarkText, midGrey, kWhite},
        {"no background known", kDarkText, wxColour(), kBlack},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const wxColour chosen = ReadableTextColour(kBlack, c.themeText, c.background);
        EXPECT_EQ(Html(chosen), Html(c.expected));
        if (c.background.IsOk()) {
            EXPECT_GE(ContrastRatio(chosen, c.background), kReadableTextContrast);
        }
    }
}
