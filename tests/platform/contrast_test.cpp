#include "platform/contrast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr TColor Hex(unsigned rgb) { return RGBColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Whether `result` lies on the straight way from `color` to black or to white (channels
// rounded): what keeps the hue.
bool OnTheWayTo(TColor color, TColor result, TColor end) {
    // Each rounded channel pins the mix to an interval; they must share a point.
    double low = 0, high = 1;
    for (int shift : {0, 8, 16}) {
        const int c = (color >> shift) & 0xFF, r = (result >> shift) & 0xFF, e = (end >> shift) & 0xFF;
        if (c == e) {
            if (r != e) return false;
            continue;
        }
        const double t = double(r - c) / (e - c), half = 0.5 / std::abs(e - c);
        low = std::max(low, t - half);
        high = std::min(high, t + half);
    }
    return low <= high + 1e-9;
}

}  // namespace

TEST(Contrast, RatiosOfKnownPairs) {
    struct Case {
        unsigned a, b;
        double ratio;
    };
    const Case cases[] = {
        {0x000000, 0xFFFFFF, 21.0},  {0xFFFFFF, 0x000000, 21.0}, {0xFF0000, 0xFFFFFF, 4.00},
        {0xFF00FF, 0xFFFFFF, 3.14},  {0x0000FF, 0xFFFFFF, 8.59}, {0x008000, 0xFFFFFF, 5.14},
        {0x808080, 0xFFFFFF, 3.95},  {0xFFFF00, 0x000000, 19.56}, {0xFFFFFF, 0x000080, 16.0},
        {0x123456, 0x123456, 1.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ContrastRatio(Hex(c.a), Hex(c.b)), c.ratio, 0.01) << std::hex << c.a << " on " << c.b;
}

TEST(Contrast, ReadableMovesAColourOnlyAsFarAsNeeded) {
    struct Case {
        unsigned color, background;
        TColor end;  // where it moves, or the colour itself when it already reads
    };
    const Case cases[] = {
        {0x008000, 0xFFFFFF, Hex(0x008000)},  // green on white already reads
        {0xFFFFFF, 0x000080, Hex(0xFFFFFF)},
        {0xFF0000, 0xFFFFFF, clBlack},        // the default Sunday red darkens a little
        {0xFF00FF, 0xFFFFFF, clBlack},        // the neighbour-month fuchsia
        {0xFFFF00, 0xFFFFFF, clBlack},
        {0x000000, 0x000000, clWhite},        // black text on a dark scheme's black
        {0x0000FF, 0x000000, clWhite},        // Saturday blue on black lightens
        {0x800000, 0x000000, clWhite},        // maroon on black
        {0xFF0000, 0x000000, Hex(0xFF0000)},  // red on black reads as it is
        {0x008000, 0x1A1A1A, clWhite},
        {0xCCCCCC, 0x777777, clBlack},        // white cannot reach 4.5 on this grey: the other way
        {0x333333, 0x777777, clBlack},
    };
    for (const Case& c : cases) {
        const TColor color = Hex(c.color), background = Hex(c.background);
        const TColor got = Readable(color, background);
        SCOPED_TRACE(testing::Message() << std::hex << c.color << " on " << c.background << " -> " << got);
        EXPECT_GE(ContrastRatio(got, background), kReadableContrast);
        if (c.end == color) {
            EXPECT_EQ(got, color);
            continue;
        }
        EXPECT_NE(got, c.end) << "moved all the way";
        EXPECT_LT(ContrastRatio(got, background), kReadableContrast + 0.15) << "moved further than needed";
        EXPECT_TRUE(OnTheWayTo(color, got, c.end));
    }
}

TEST(Contrast, ReadableHoldsForAnyPair) {
    std::mt19937 random(31);
    std::uniform_int_distribution<int> channel(0, 255);
    for (int i = 0; i < 3000; ++i) {
        const TColor color = RGBColor(channel(random), channel(random), channel(random));
        const TColor background = RGBColor(channel(random), channel(random), channel(random));
        for (double ratio : {kReadableContrast, 3.0, 7.0}) {
            const TColor got = Readable(color, background, ratio);
            SCOPED_TRACE(testing::Message() << std::hex << color << " on " << background << " -> " << got);
            const bool reachable = std::max(ContrastRatio(clBlack, background), ContrastRatio(clWhite, background)) >= ratio;
            if (!reachable) {
                EXPECT_TRUE(got == clBlack || got == clWhite);
                continue;
            }
            ASSERT_GE(ContrastRatio(got, background), ratio);
            if (ContrastRatio(color, background) >= ratio) {
                ASSERT_EQ(got, color);
            }
            ASSERT_TRUE(OnTheWayTo(color, got, clBlack) || OnTheWayTo(color, got, clWhite));
        }
    }
}

TEST(Contrast, HighContrastSchemesAreToldFromOrdinaryOnes) {
    struct Case {
        const char* name;
        std::vector<TColorPair> pairs;  // text on background
        bool high;
    };
    const Case cases[] = {
        {"white on black, yellow selection",
         {{clWhite, clBlack}, {clWhite, clBlack}, {clBlack, Hex(0xFFFF00)}}, true},
        {"black on white, navy selection", {{clBlack, clWhite}, {clBlack, Hex(0xF0F0F0)}, {clWhite, clNavy}}, true},
        // Plain light schemes are black on white too; their blue selection gives them away.
        {"light with a pale blue selection", {{clBlack, clWhite}, {clBlack, Hex(0xEFEFEF)}, {clWhite, Hex(0x308CC6)}}, false},
        {"dark with grey text", {{Hex(0xAAAAAA), Hex(0x2B2B2B)}, {clWhite, Hex(0x2A82DA)}}, false},
        {"nothing", {}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsHighContrastScheme(c.pairs), c.high) << c.name;
}
