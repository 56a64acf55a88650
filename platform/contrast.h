#pragma once
// Contrast of colours as the web's accessibility guidelines measure it (relative
// luminance of sRGB), and the least change of a colour that makes it readable.
#include "platform/color.h"

#include <span>

// The ratio body text needs against its background.
constexpr double kReadableContrast = 4.5;
// The ratio every pair of a desktop colour scheme must reach for the scheme to count as
// a high-contrast one: ordinary schemes fall short of it at least in their selection.
constexpr double kHighContrastScheme = 7.0;

// 0 (black) .. 1 (white), of an explicit colour (0x00BBGGRR).
double RelativeLuminance(TColor rgb);
// 1 .. 21; the same either way round.
double ContrastRatio(TColor a, TColor b);

// `color` itself when it reaches `ratio` against `background`; otherwise the colour mixed
// with white when it is lighter than the background, with black when darker (or with the
// other end where that one cannot reach the ratio), as little as reaches the ratio.
// Mixing towards black or white keeps the hue, so a red stays a red. Any background
// allows 4.5:1 this way; a ratio no colour can reach gives black or white, whichever
// contrasts more.
TColor Readable(TColor color, TColor background, double ratio = kReadableContrast);

struct TColorPair {
    TColor Text;
    TColor Background;
};
// Whether every pair reaches kHighContrastScheme; an empty list is not a scheme.
bool IsHighContrastScheme(std::span<const TColorPair> pairs);
