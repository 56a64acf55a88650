#include "platform/contrast.h"

#include <algorithm>
#include <cmath>

namespace {

double Linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// t = 0: `color`, t = 1: `end`, rounded per channel.
TColor Mix(TColor color, TColor end, double t) {
    auto channel = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return RGBColor(channel(RedOf(color), RedOf(end)), channel(GreenOf(color), GreenOf(end)),
                    channel(BlueOf(color), BlueOf(end)));
}

}  // namespace

double RelativeLuminance(TColor rgb) {
    return 0.2126 * Linear(RedOf(rgb)) + 0.7152 * Linear(GreenOf(rgb)) + 0.0722 * Linear(BlueOf(rgb));
}

double ContrastRatio(TColor a, TColor b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TColor Readable(TColor color, TColor background, double ratio) {
    color &= 0xFFFFFF;
    background &= 0xFFFFFF;
    if (ContrastRatio(color, background) >= ratio) return color;
    // Away from the background on the colour's own side (a light colour on a dark
    // background gets lighter) changes it least; the other side only where this one
    // cannot reach the ratio.
    const bool lighter = RelativeLuminance(color) >= RelativeLuminance(background);
    TColor end = lighter ? clWhite : clBlack;
    if (ContrastRatio(end, background) < ratio) end = lighter ? clBlack : clWhite;
    if (ContrastRatio(end, background) < ratio)
        return ContrastRatio(clBlack, background) >= ContrastRatio(clWhite, background) ? clBlack : clWhite;
    // Once a mix reaches the ratio, every further step towards the end keeps it (on the
    // other side it first passes the background's own luminance), so the least mix is
    // found by halving; 12 steps resolve it finer than one step of a channel.
    double low = 0, high = 1;  // low fails, high reaches the ratio
    for (int step = 0; step < 12; ++step) {
        const double middle = (low + high) / 2;
        (ContrastRatio(Mix(color, end, middle), background) >= ratio ? high : low) = middle;
    }
    // Rounding the channels may land just short; a further step towards the end settles it.
    TColor result = Mix(color, end, high);
    for (double t = high; ContrastRatio(result, background) < ratio && t < 1;) {
        t = std::min(1.0, t + 1.0 / 255);
        result = Mix(color, end, t);
    }
    return result;
}

bool IsHighContrastScheme(std::span<const TColorPair> pairs) {
    if (pairs.empty()) return false;
    return std::all_of(pairs.begin(), pairs.end(), [](const TColorPair& p) {
        return ContrastRatio(p.Text & 0xFFFFFF, p.Background & 0xFFFFFF) >= kHighContrastScheme;
    });
}
